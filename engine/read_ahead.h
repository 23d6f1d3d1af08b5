// engine/read_ahead.h: the folders a walk will come to and their files, listed and read on
// threads of their own ahead of the walk that uses them.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/folder_walk.h"
#include "engine/shortcut_source.h"
#include "engine/walk_writer.h"
#include "platform/dir_search.h"

namespace favpage {

// When nothing is in the system's cache, each folder and each file costs a wait for the disk, and
// waiting for one after another is the slowest way to pay for them: a few readers at once keep
// the disk busy. A ReadAhead keeps a plan of the folders the walk will come to, in the walk's
// order (depth first, sub-folders in name order, each real folder once), and its threads list
// those folders and look up and read their files, always the first in that order that no thread
// has taken yet, so the work the walk needs soonest is done first. The walk tells it which folder
// it begins and which sub-folders it will walk from there (Enter); the threads find the folders
// below those by listing them. A folder the plan did not foresee (the tree changed, or a second
// route to a folder came first in the walk's order) makes a new plan from where the walk is
// (Replan); a planned folder the walk passes over is dropped with whatever was read of it.
//
// When the walk comes to a folder a thread has listed, it takes that listing (TakeListing)
// rather than list the folder again. Its files then work as any ShortcutSource: the walk names
// them in the listing's order and takes the records in that order, exactly what the walk would
// have got reading each file itself at some moment of the run. A file a thread has read is
// handed over; a file no thread has come to is read by the walk itself, so it never waits for a
// thread that has not started on its file (only for a listing or a file a thread is busy with).
//
// Memory is bounded: the threads stop taking work once the names, paths and text held for
// folders and files the walk has not taken come to `maxBytes` (a thread that lists a folder of
// at most kReadWithListing files reads them in the same turn, so each may pass it by that many
// files' text), and take it up again once an eighth of that is free; the walk takes a record
// before it names more than `window` files not taken.
struct ReadAheadLimits {
    // Enough requests at once to keep a disk (or the storage behind a virtual one) busy; the
    // threads wait, so they cost little processor time.
    unsigned threads = 24;
    size_t window = 1024;
    size_t maxBytes = 8 * 1024 * 1024;
};

class ReadAhead final : public ShortcutSource {
public:
    using Limits = ReadAheadLimits;
    // A folder of at most this many files has them read by the thread that lists it.
    static constexpr size_t kReadWithListing = 8;
    // Files that the walk names, or that its taking lets into the window, wake a waiting thread
    // once this many wait for a reader, not each: a thread goes on to the next file that waits,
    // and one woken for a single file in the system's cache costs more than reading it.
    static constexpr size_t kWakeForFiles = 16;

    // Threads started when the first folder begins; each file read with `reader`, looked up
    // first as `lookup` says.
    explicit ReadAhead(Limits limits = Limits(), TextReader reader = &ReadShortcutFile,
                       Lookup lookup = Lookup::Always);
    ~ReadAhead() override;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The listing a thread made of `folder`, when the walk comes to it: true, with the listing
    // in `listing`, when there is one to take (a thread still listing it is waited for); false
    // when the walk is to list the folder itself.
    bool TakeListing(const FoundFolder& folder, FolderListing& listing);
    // Gives each of `subFolders` that has no identity the one a thread found, with its times,
    // when a thread has listed it: the walk need not look those up.
    void KnownIds(std::vector<FoundFolder>& subFolders) const;
    // The walk begins `folder` and will then walk `subFolders` (those whose part is here) in
    // order. False when the plan did not foresee `folder`: then Replan must follow. Begin
    // follows unless AllRead().
    bool Enter(const FoundFolder& folder, const std::vector<FoundFolder>& subFolders);
    // True when the walk took the listing of the folder it entered and a thread has read, or is
    // reading, every file of it: then the walk names its files without Begin, and nothing is
    // read through the walk's own handle of the folder.
    bool AllRead() const;
    // Drops the plan and makes a new one from the walk's place: `folder`, which it has begun and
    // lists itself, then its `subFolders`, then `later` in the walk's order; `onPath` are the
    // folders the walk is inside of, which no thread enters again. With `handle`, the folder
    // is begun too, as Begin does.
    void Replan(const FoundFolder& folder, const std::vector<FoundFolder>& subFolders,
                const std::vector<const FoundFolder*>& later, const std::vector<FolderId>& onPath,
                const FolderHandle* handle = nullptr);

    // The records of the folder begun. A folder begun without Enter is read for as its files
    // are named, with nothing planned after it.
    void Begin(const FolderHandle& folder) override;
    void Add(const std::string& name, bool plainFile) override;
    size_t Pending() const override { return m_named.size(); }
    bool Ready() const override { return m_named.size() > m_limits.window; }
    const ShortcutRecord& Take() override;
    // Files named and not taken are forgotten; reads of the folder in progress are waited for.
    void End() override;

    // How many records Take has delivered; how many files the threads have looked up and read
    // (some of them maybe not taken); how many folders they listed before the walk came to them.
    size_t Delivered() const { return m_delivered; }
    size_t ReadOnThreads() const { return m_readOnThreads.load(std::memory_order_relaxed); }
    size_t FoldersListedAhead() const { return m_listedAhead.load(std::memory_order_relaxed); }
    // Bytes held at most at any moment: names, paths and text of what the walk had not taken.
    size_t MostBytesHeld() const;

private:
    struct Slot {
        std::string name;
        bool plain = false;  // its listing showed a plain file
        DirEntry entry;
        std::string text;
        TextKind kind = TextKind::None;
        enum class State : unsigned char { Waiting, Reading, Read, Taken } state = State::Waiting;
    };
    // A folder's files by number, from the first not yet taken on. Each slot stays where it is
    // until it is dropped, whatever is added after it, so a reader may fill it without the lock.
    class Slots {
    public:
        size_t First() const { return m_first + m_dropped; }
        size_t End() const { return m_first + m_slots.size(); }
        Slot& operator[](size_t number) { return *m_slots[number - m_first]; }
        const Slot& operator[](size_t number) const { return *m_slots[number - m_first]; }
        Slot& Append() {
            m_slots.push_back(std::make_unique<Slot>());
            return *m_slots.back();
        }
        // Drops the taken slots at the front.
        void DropTaken();

    private:
        std::vector<std::unique_ptr<Slot>> m_slots;
        size_t m_first = 0;
        size_t m_dropped = 0;  // slots at the front of m_slots already freed
    };
    // The place of a folder in the walk's order: its parent's key and its own position after it.
    using Key = std::vector<uint32_t>;
    struct Folder {
        Key key;
        std::string path;
        SystemFolderPath system;
        enum class Listing : unsigned char { Waiting, Listing, Listed, ByWalk } listing =
            Listing::Waiting;
        bool gone = false;                  // consumed or dropped: nothing it holds counts now
        bool idPlanned = false;             // its identity was known when it was planned
        bool listingKept = false;           // its listing is here for the walk to take
        bool listingTaken = false;          // the walk took it
        std::optional<FolderId> id;         // found by the thread that listed it
        FileTimes times;                    // and its times
        bool anyFile = false;               // its listing found a file
        std::vector<std::string> subFolderNames;  // its listing's sub-folders
        Slots files;                        // listed (by a thread, or named by the walk)
        size_t claimed = 0;                 // where readers look for a file to read
        size_t taken = 0;                   // files the walk has taken
        uint32_t subFolders = 0;            // sub-folders planned: keys `key` + 0, 1, ...
        size_t reading = 0;                 // threads busy with its listing or a file
        size_t bytes = 0;                   // held for it
        std::shared_ptr<const FolderHandle> handle;  // what its readers read through
        std::unordered_map<std::string, size_t> index;  // file by name, made when needed
    };
    using FolderPtr = std::shared_ptr<Folder>;
    struct ByKey {
        bool operator()(const FolderPtr& a, const FolderPtr& b) const { return a->key < b->key; }
    };

    void Serve();
    // The walk's wait until `done`, under `lock`, for a listing or read in progress.
    template <class Done>
    void WaitDone(std::unique_lock<std::mutex>& lock, Done done) {
        while (!done()) {
            m_walkWaits = true;
            m_done.wait(lock);
            m_walkWaits = false;
        }
    }
    // The first folder with work a thread may take now, or none.
    FolderPtr NextWork();
    // True when threads wait for work and kWakeForFiles files of `folder` (fewer when the window
    // is narrow) wait for a reader within the window; any number when the window is `filled`
    // by the file just named, as no file named after it can enter the window to make up a batch.
    bool WakeForFiles(const Folder& folder, bool filled = false) const;
    // True, with its number in `at`, when a file of `folder` waits for a reader within the window.
    bool ClaimableFile(const Folder& folder, size_t& at) const;
    void ListAhead(const FolderPtr& folder, std::unique_lock<std::mutex>& lock);
    void ReadAheadOf(const FolderPtr& folder, std::unique_lock<std::mutex>& lock);
    // A folder to plan, and the same placed in the plan (and in the work, when it waits to be
    // listed); Plan does both.
    static FolderPtr NewFolder(Key key, std::string path, SystemFolderPath system,
                               bool listedByWalk);
    Folder& Place(FolderPtr folder);
    Folder& Plan(Key key, std::string path, SystemFolderPath system, bool listedByWalk);
    // Plans `subFolders` of `parent`.
    void PlanSubFolders(Folder& parent, const std::vector<FoundFolder>& subFolders);
    // Notes a folder's identity as planned; false when it is not known.
    bool PlanId(const std::optional<FolderId>& id);
    // Takes `folder` out of the plan; its memory goes when no thread uses it.
    void Forget(Folder& folder);
    void Hold(Folder& folder, size_t bytes);
    void Release(Folder& folder, size_t bytes);
    // True while the limit holds the threads back: from when the bytes held reach it until
    // WakeIfRoom finds room again, and wakes them.
    bool HeldBack();
    void WakeIfRoom();
    // Reads the file of `slot` through `folder`, looked up first as m_lookup says (EntryToRead).
    void Read(const FolderHandle& folder, Slot& slot) const;
    void StartThreads();
    bool Stopping() const { return m_stopping.load(std::memory_order_relaxed); }
    // Waits for a thread listing `folder`; one no thread has come to is the walk's to list.
    void ListingForWalk(Folder& folder, std::unique_lock<std::mutex>& lock);
    // Makes `handle` the current folder's, for the walk's reads and its readers'.
    void UseHandle(const FolderHandle& handle);

    const Limits m_limits;
    const TextReader m_reader;
    const Lookup m_lookup;
    std::vector<std::thread> m_threads;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;  // work to take, or the end
    std::condition_variable m_done;  // a listing or a file read, or no reader busy
    std::map<Key, FolderPtr> m_plan;             // the folders to come, in the walk's order
    std::set<FolderPtr, ByKey> m_open;           // those with work a thread may take
    std::unordered_map<std::string_view, Folder*> m_byPath;  // by the folder's own path
    std::unordered_set<FolderId, FolderIdHash> m_planned;  // identities of the folders planned
    size_t m_bytes = 0;
    size_t m_mostBytes = 0;
    bool m_heldBack = false;
    size_t m_idle = 0;  // threads waiting for work
    bool m_walkWaits = false;  // the walk waits for m_done
    // Set (under the lock, so no waiting thread misses it) when the threads are to end; a
    // listing in progress looks at it between entries.
    std::atomic<bool> m_stopping{false};

    // The walk's side.
    FolderPtr m_current;                 // the folder begun
    const FolderHandle* m_folder = nullptr;
    size_t m_cursor = 0;                 // where the next file named is expected in its listing
    std::deque<size_t> m_named;          // its files named and not taken, by slot
    size_t m_delivered = 0;
    std::atomic<size_t> m_readOnThreads{0};
    std::atomic<size_t> m_listedAhead{0};
    Slot m_taken;                        // the file Take delivered last
    ShortcutRecord m_record;             // and its record
};

}  // namespace favpage
