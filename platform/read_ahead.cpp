// platform/read_ahead.cpp: readers that look up and read a folder's files ahead of the caller.
#include "platform/read_ahead.h"

#include <utility>

namespace favpage {

ReadAhead::ReadAhead(unsigned threads, Reader reader)
    : m_threadCount(threads), m_reader(std::move(reader)) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    for (std::thread& t : m_threads) t.join();
}

void ReadAhead::Begin(const FolderHandle& folder, uint32_t mask) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folder = &folder;
    m_mask = mask;
    while (m_threads.size() < m_threadCount) m_threads.emplace_back([this] { Serve(); });
}

void ReadAhead::Add(const std::string& name) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_slots.emplace_back();
        m_slots.back().name = name;
    }
    m_work.notify_one();
}

bool ReadAhead::CanClaim() const {
    return m_folder && m_claimed < m_slots.size() && m_claimed < kWindow && m_bytes < kMaxBytes;
}

// The folder and the mask change only between Begin and End, while no reader is busy.
void ReadAhead::Read(Slot& slot) const {
    slot.found = FindEntry(*m_folder, slot.name, m_mask, slot.entry);
    slot.read = slot.found && m_reader(*m_folder, slot.entry, slot.text, slot.mark);
}

void ReadAhead::Serve() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return m_stop || CanClaim(); });
        if (m_stop) return;
        // References to a deque's elements survive additions at its back and removals at its
        // front: the slot stays where it is while the caller takes the ones before it, and the
        // caller touches it only once it is read.
        Slot& slot = m_slots[m_claimed++];
        slot.state = Slot::State::Reading;
        ++m_reading;
        lock.unlock();
        Read(slot);
        lock.lock();
        slot.state = Slot::State::Read;
        m_bytes += slot.text.size();
        --m_reading;
        // Only the caller waits for reads: for the file it takes next, or for none to be busy.
        if (&slot == &m_slots.front() || m_reading == 0) m_done.notify_all();
    }
}

bool ReadAhead::Take(std::string& name, DirEntry& entry, std::string& text, bool& read,
                     bool& mark) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Slot& front = m_slots.front();
    // No reader has come to it (all busy further on, or none): it is read here rather than
    // waited for.
    const bool unclaimed = front.state == Slot::State::Waiting;
    if (!unclaimed) m_done.wait(lock, [&front] { return front.state == Slot::State::Read; });
    Slot mine = std::move(front);
    m_slots.pop_front();
    if (unclaimed) {
        lock.unlock();
        Read(mine);
    } else {
        m_bytes -= mine.text.size();
        --m_claimed;
        lock.unlock();
        m_work.notify_one();  // the window moved on by one file
    }
    name = std::move(mine.name);
    entry = std::move(mine.entry);
    text = std::move(mine.text);
    read = mine.read;
    mark = mine.mark;
    return mine.found;
}

void ReadAhead::End() {
    std::unique_lock<std::mutex> lock(m_mutex);
    // Files no reader has claimed are dropped; claimed ones are waited for, as their readers
    // still use the folder.
    m_slots.resize(m_claimed);
    m_done.wait(lock, [this] { return m_reading == 0; });
    m_slots.clear();
    m_claimed = 0;
    m_bytes = 0;
    m_folder = nullptr;
}

}  // namespace favpage
