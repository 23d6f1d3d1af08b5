// platform/read_ahead.h: the files of a folder looked up and read on threads of their own, ahead
// of the one that uses them.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dir_search.h"

namespace favpage {

// When nothing is in the system's cache, each file costs a wait for the disk, and waiting for one
// file after another is the slowest way to pay for them: a few readers at once keep the disk busy.
// A ReadAhead looks up (FindEntry) and reads (with the caller's reader) the files of one folder at
// a time on its own threads, in the order the caller names them, and hands the results back in
// that order, exactly what the caller would have got reading each file itself at that moment.
// The caller reads a file itself when no reader has come to it yet, so it never waits for a
// thread that has not started on its file.
//
// Memory is bounded: readers stay at most kWindow files and kMaxBytes of text ahead of the caller.
class ReadAhead {
public:
    static constexpr size_t kWindow = 1024;
    static constexpr size_t kMaxBytes = 4 * 1024 * 1024;

    // Reads the file `entry` (just looked up) of `folder` into `text`, on any thread, setting
    // `mark` as its caller likes; false when the file is not to be read or could not be.
    using Reader = std::function<bool(const FolderHandle& folder, const DirEntry& entry,
                                      std::string& text, bool& mark)>;

    // `threads` threads, started at the first Begin.
    ReadAhead(unsigned threads, Reader reader);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Starts the files of `folder`, which must stay open until End(): each is looked up under
    // `mask` and, when found, read.
    void Begin(const FolderHandle& folder, uint32_t mask);
    // Names the next file of the folder.
    void Add(const std::string& name);
    // The next file in the order named, its name in `name`. False when the lookup found no
    // admitted entry (`entry` then unspecified); otherwise `entry` is the lookup's, `read` the
    // reader's answer, and `text` and `mark` what it gave.
    bool Take(std::string& name, DirEntry& entry, std::string& text, bool& read, bool& mark);
    // How many files named are still to be taken.
    size_t Pending() const { return m_slots.size(); }
    // Ends the folder: files not taken are forgotten, reads in progress are waited for.
    void End();

private:
    struct Slot {
        std::string name;
        enum class State : unsigned char { Waiting, Reading, Read } state = State::Waiting;
        bool found = false;
        bool read = false;
        bool mark = false;
        DirEntry entry;
        std::string text;
    };

    void Serve();
    bool CanClaim() const;
    // Looks up and reads the file of `slot` into the slot's fields.
    void Read(Slot& slot) const;

    const unsigned m_threadCount;
    const Reader m_reader;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_work;   // a file to read, or the end
    std::condition_variable m_done;   // a file read, or no reader busy
    std::deque<Slot> m_slots;         // the folder's files from the first not yet taken on
    size_t m_claimed = 0;             // slots claimed (from the front of m_slots)
    size_t m_reading = 0;             // readers busy with a file
    size_t m_bytes = 0;               // text held for files not yet taken
    const FolderHandle* m_folder = nullptr;
    uint32_t m_mask = 0;
    bool m_stop = false;
};

}  // namespace favpage
