// engine/read_ahead.cpp: readers that look up and read a folder's files ahead of the walk.
#include "engine/read_ahead.h"

#include <utility>

namespace favpage {

ReadAhead::ReadAhead(Limits limits, TextReader reader) : m_limits(limits), m_reader(reader) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    for (std::thread& t : m_threads) t.join();
}

void ReadAhead::Begin(const FolderHandle& folder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folder = &folder;
    while (m_threads.size() < m_limits.threads) m_threads.emplace_back([this] { Serve(); });
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
    return m_folder && m_claimed < m_slots.size() && m_claimed < m_limits.window &&
           m_bytes < m_limits.maxBytes;
}

void ReadAhead::Read(const FolderHandle& folder, Slot& slot) const {
    slot.kind = FindEntry(folder, slot.name, kFileMask, slot.entry)
                    ? m_reader(folder, slot.entry, slot.text)
                    : TextKind::None;
}

// The folder changes only between Begin and End, while no reader is busy.
void ReadAhead::Serve() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return m_stop || CanClaim(); });
        if (m_stop) return;
        // References to a deque's elements survive additions at its back and removals at its
        // front: the slot stays where it is while the walk takes the ones before it, and the
        // walk touches it only once it is read.
        Slot& slot = m_slots[m_claimed++];
        slot.state = Slot::State::Reading;
        ++m_reading;
        lock.unlock();
        Read(*m_folder, slot);
        m_readOnThreads.fetch_add(1, std::memory_order_relaxed);
        lock.lock();
        slot.state = Slot::State::Read;
        m_bytes += slot.text.size();
        --m_reading;
        // Only the walk waits for reads: for the file it takes next, or for none to be busy.
        if (&slot == &m_slots.front() || m_reading == 0) m_done.notify_all();
    }
}

const ShortcutRecord& ReadAhead::Take() {
    std::unique_lock<std::mutex> lock(m_mutex);
    Slot& front = m_slots.front();
    // No reader has come to it (all busy further on, or none): it is read here rather than
    // waited for.
    const bool unclaimed = front.state == Slot::State::Waiting;
    if (!unclaimed) m_done.wait(lock, [&front] { return front.state == Slot::State::Read; });
    m_taken = std::move(front);
    m_slots.pop_front();
    if (unclaimed) {
        const FolderHandle& folder = *m_folder;
        lock.unlock();
        Read(folder, m_taken);
    } else {
        m_bytes -= m_taken.text.size();
        --m_claimed;
        lock.unlock();
        m_work.notify_one();  // the window moved on by one file
    }
    ++m_delivered;
    m_record.name = m_taken.name;
    m_record.entry = std::move(m_taken.entry);
    m_record.text = m_taken.text;
    m_record.kind = m_taken.kind;
    return m_record;
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
