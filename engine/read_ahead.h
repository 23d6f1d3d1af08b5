// engine/read_ahead.h: the files of a folder looked up and read on threads of their own, ahead
// of the walk that uses them.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/shortcut_source.h"
#include "platform/dir_search.h"

namespace favpage {

// When nothing is in the system's cache, each file costs a wait for the disk, and waiting for one
// file after another is the slowest way to pay for them: a few readers at once keep the disk busy.
// A ReadAhead looks up and reads the files of one folder at a time on its own threads, in the
// order the walk names them, and hands the records back in that order, exactly what the walk
// would have got reading each file itself at that moment. The walk reads a file itself when no
// reader has come to it yet, so it never waits for a thread that has not started on its file.
//
// Memory is bounded: readers stay at most `window` files and `maxBytes` of text ahead of the
// walk, and the walk takes a record before it names more than `window` files not taken.
struct ReadAheadLimits {
    // Enough requests at once to keep a disk (or the storage behind a virtual one) busy; the
    // readers wait, so they cost little processor time.
    unsigned threads = 16;
    size_t window = 1024;
    size_t maxBytes = 4 * 1024 * 1024;
};

class ReadAhead final : public ShortcutSource {
public:
    using Limits = ReadAheadLimits;

    // Threads started at the first Begin; each file read with `reader`.
    explicit ReadAhead(Limits limits = Limits(), TextReader reader = &ReadShortcutFile);
    ~ReadAhead() override;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    void Begin(const FolderHandle& folder) override;
    void Add(const std::string& name) override;
    size_t Pending() const override { return m_slots.size(); }
    bool Ready() const override { return m_slots.size() > m_limits.window; }
    const ShortcutRecord& Take() override;
    // Files no reader has started on are forgotten; reads in progress are waited for.
    void End() override;

    // How many records Take has delivered, and how many files the threads have looked up and
    // read (some of them maybe not taken yet); the rest of those delivered the walk read itself.
    size_t Delivered() const { return m_delivered; }
    size_t ReadOnThreads() const { return m_readOnThreads.load(std::memory_order_relaxed); }

private:
    struct Slot {
        std::string name;
        DirEntry entry;
        std::string text;
        TextKind kind = TextKind::None;
        enum class State : unsigned char { Waiting, Reading, Read } state = State::Waiting;
    };

    // Looks up and reads the file of `slot`.
    void Read(const FolderHandle& folder, Slot& slot) const;

    void Serve();
    bool CanClaim() const;

    const Limits m_limits;
    const TextReader m_reader;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_work;   // a file to read, or the end
    std::condition_variable m_done;   // a file read, or no reader busy
    std::deque<Slot> m_slots;         // the folder's files from the first not yet taken on
    size_t m_claimed = 0;             // slots claimed (from the front of m_slots)
    size_t m_reading = 0;             // readers busy with a file
    size_t m_bytes = 0;               // text held for files not yet taken
    const FolderHandle* m_folder = nullptr;
    bool m_stop = false;
    size_t m_delivered = 0;
    std::atomic<size_t> m_readOnThreads{0};
    Slot m_taken;                     // the file Take delivered last
    ShortcutRecord m_record;          // and its record
};

}  // namespace favpage
