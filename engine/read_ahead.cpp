// engine/read_ahead.cpp: threads that list the folders a walk will come to and read their files
// ahead of it.
#include "engine/read_ahead.h"

#include <algorithm>
#include <utility>

#include "engine/folder_walk.h"
#include "engine/html_text.h"
#include "engine/sorted_name_list.h"

namespace favpage {

namespace {

// What holding a name costs, with the record it comes in and the bookkeeping beside it (the
// entries of the plan's map, set and index, allocation headers), counted as the memory it takes.
template <class T>
size_t HeldFor(const std::string& text) {
    constexpr size_t kBookkeeping = 160;
    return sizeof(T) + text.size() + kBookkeeping;
}

}  // namespace

ReadAhead::ReadAhead(Limits limits, TextReader reader, Lookup lookup)
    : m_limits(limits), m_reader(reader), m_lookup(lookup) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping.store(true, std::memory_order_relaxed);
    }
    m_work.notify_all();
    for (std::thread& t : m_threads) t.join();
}

void ReadAhead::StartThreads() {
    while (m_threads.size() < m_limits.threads) m_threads.emplace_back([this] { Serve(); });
}

size_t ReadAhead::MostBytesHeld() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mostBytes;
}

void ReadAhead::Hold(Folder& folder, size_t bytes) {
    if (folder.gone) return;
    folder.bytes += bytes;
    m_bytes += bytes;
    m_mostBytes = std::max(m_mostBytes, m_bytes);
}

void ReadAhead::Release(Folder& folder, size_t bytes) {
    if (folder.gone) return;
    folder.bytes -= bytes;
    m_bytes -= bytes;
    WakeIfRoom();
}

bool ReadAhead::HeldBack() {
    if (m_bytes >= m_limits.maxBytes) m_heldBack = true;
    return m_heldBack;
}

void ReadAhead::WakeIfRoom() {
    // Threads held back by the limit wait until an eighth of it is free again, so that they
    // take work in bursts rather than one piece each time the walk takes one.
    if (m_heldBack && m_bytes < m_limits.maxBytes - m_limits.maxBytes / 8) {
        m_heldBack = false;
        m_work.notify_all();
    }
}

ReadAhead::FolderPtr ReadAhead::NewFolder(Key key, std::string path, SystemFolderPath system,
                                          bool listedByWalk) {
    auto folder = std::make_shared<Folder>();
    folder->key = std::move(key);
    folder->path = std::move(path);
    folder->system = std::move(system);
    folder->listing = listedByWalk ? Folder::Listing::ByWalk : Folder::Listing::Waiting;
    return folder;
}

ReadAhead::Folder& ReadAhead::Place(FolderPtr folder) {
    Folder& f = *folder;
    Hold(f, HeldFor<Folder>(f.path) + 2 * f.key.size() * sizeof(uint32_t));
    // Keyed by the folder's own path, which lives as long as the entry: one for another
    // folder of the same path goes first.
    m_byPath.erase(f.path);
    m_byPath.emplace(f.path, &f);
    if (f.listing == Folder::Listing::Waiting) m_open.insert(folder);
    m_plan.emplace(f.key, std::move(folder));
    return f;
}

ReadAhead::Folder& ReadAhead::Plan(Key key, std::string path, SystemFolderPath system,
                                   bool listedByWalk) {
    return Place(NewFolder(std::move(key), std::move(path), std::move(system), listedByWalk));
}

void ReadAhead::PlanSubFolders(Folder& parent, const std::vector<FoundFolder>& subFolders) {
    for (const FoundFolder& sub : subFolders) {
        if (!sub.partHere) continue;
        Key key = parent.key;
        key.push_back(parent.subFolders++);
        Plan(std::move(key), sub.path, sub.system, false).idPlanned = PlanId(sub.id);
    }
}

bool ReadAhead::PlanId(const std::optional<FolderId>& id) {
    if (id) m_planned.insert(*id);
    return id.has_value();
}

void ReadAhead::Forget(Folder& folder) {
    m_bytes -= folder.bytes;
    WakeIfRoom();
    folder.bytes = 0;
    folder.gone = true;
    const auto byPath = m_byPath.find(folder.path);
    if (byPath != m_byPath.end() && byPath->second == &folder) m_byPath.erase(byPath);
    const auto planned = m_plan.find(folder.key);
    if (planned == m_plan.end() || planned->second.get() != &folder) return;
    m_open.erase(planned->second);
    m_plan.erase(planned);  // the folder itself lives on while a thread still works on it
}

bool ReadAhead::TakeListing(const FoundFolder& found, FolderListing& listing) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto byPath = m_byPath.find(found.path);
    if (byPath == m_byPath.end()) return false;
    Folder& folder = *byPath->second;
    ListingForWalk(folder, lock);
    if (!folder.listingKept) return false;
    folder.listingKept = false;
    folder.listingTaken = true;
    size_t held = 0;
    listing.Clear();
    for (std::string& name : folder.subFolderNames) {
        held += HeldFor<std::string>(name);
        listing.subFolders.push_back(std::move(name));
    }
    folder.subFolderNames.clear();
    Release(folder, held);
    for (size_t f = folder.files.First(); f < folder.files.End(); ++f) {
        listing.AddFile(folder.files[f].name, folder.files[f].plain);
    }
    listing.anyFile = folder.anyFile;
    return true;
}

void ReadAhead::KnownIds(std::vector<FoundFolder>& subFolders) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (FoundFolder& sub : subFolders) {
        const auto byPath = m_byPath.find(sub.path);
        if (sub.id || byPath == m_byPath.end()) continue;
        const Folder& folder = *byPath->second;
        if (folder.listing != Folder::Listing::Listed || !folder.id) continue;
        sub.id = folder.id;
        sub.times = folder.times;
    }
}

bool ReadAhead::AllRead() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_current || !m_current->listingTaken) return false;
    for (size_t f = m_current->files.First(); f < m_current->files.End(); ++f) {
        if (m_current->files[f].state == Slot::State::Waiting) return false;
    }
    return true;
}

void ReadAhead::ListingForWalk(Folder& folder, std::unique_lock<std::mutex>& lock) {
    WaitDone(lock, [&folder] { return folder.listing != Folder::Listing::Listing; });
    if (folder.listing == Folder::Listing::Waiting) {
        folder.listing = Folder::Listing::ByWalk;  // no thread has come to it: the walk lists it
        m_open.erase(m_plan.at(folder.key));
    }
}

bool ReadAhead::Enter(const FoundFolder& found, const std::vector<FoundFolder>& subFolders) {
    std::unique_lock<std::mutex> lock(m_mutex);
    StartThreads();
    const auto byPath = m_byPath.find(found.path);
    if (byPath == m_byPath.end()) return false;
    Folder* folder = byPath->second;
    // The planned folders before it are those the walk passed over.
    while (m_plan.begin()->second.get() != folder) Forget(*m_plan.begin()->second);
    m_current = m_plan.begin()->second;
    m_cursor = 0;
    ListingForWalk(*folder, lock);
    // Its sub-folders as planned, against those the walk will walk: when they differ (the tree
    // changed, a route to a folder came first elsewhere), the walk's hold.
    uint32_t position = 0;
    bool same = true;
    Key key = folder->key;
    key.push_back(0);
    for (const FoundFolder& sub : subFolders) {
        if (!sub.partHere) continue;
        key.back() = position++;
        const auto planned = m_plan.find(key);
        if (planned == m_plan.end() || planned->second->path != sub.path) same = false;
    }
    if (!same || position != folder->subFolders) {
        // Every folder planned below it goes; the walk's plan comes in their place.
        for (auto below = std::next(m_plan.begin());
             below != m_plan.end() && below->first.size() > folder->key.size() &&
             std::equal(folder->key.begin(), folder->key.end(), below->first.begin());
             below = std::next(m_plan.begin())) {
            Forget(*below->second);
        }
        folder->subFolders = 0;
        PlanSubFolders(*folder, subFolders);
        m_work.notify_all();
    }
    return true;
}

void ReadAhead::Replan(const FoundFolder& found, const std::vector<FoundFolder>& subFolders,
                       const std::vector<const FoundFolder*>& later,
                       const std::vector<FolderId>& onPath, const FolderHandle* handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    StartThreads();
    while (!m_plan.empty()) Forget(*m_plan.begin()->second);
    m_planned.clear();
    m_planned.insert(onPath.begin(), onPath.end());
    if (found.id) m_planned.insert(*found.id);
    Folder& folder = Plan(Key{0}, found.path, found.system, true);
    PlanSubFolders(folder, subFolders);
    uint32_t position = 1;
    for (const FoundFolder* next : later) {
        Plan(Key{position++}, next->path, next->system, false).idPlanned = PlanId(next->id);
    }
    m_current = m_plan.begin()->second;
    m_cursor = 0;
    if (handle) UseHandle(*handle);
    m_work.notify_all();
}

void ReadAhead::UseHandle(const FolderHandle& handle) {
    m_folder = &handle;
    // From now on the walk's handle serves its readers; End waits for them.
    m_current->handle = std::shared_ptr<const FolderHandle>(std::shared_ptr<void>(), &handle);
}

void ReadAhead::Begin(const FolderHandle& handle) {
    if (m_current && m_folder == &handle) return;  // begun when it was entered
    std::lock_guard<std::mutex> lock(m_mutex);
    StartThreads();
    if (!m_current) {
        // Begun without a plan: this folder alone, read for as the walk names its files.
        while (!m_plan.empty()) Forget(*m_plan.begin()->second);
        Plan(Key{0}, handle.Path(), SystemFolderPath(), true);
        m_current = m_plan.begin()->second;
        m_cursor = 0;
    }
    UseHandle(handle);
}

void ReadAhead::Add(const std::string& name, bool plainFile) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Folder& folder = *m_current;
    const size_t end = folder.files.End();
    size_t at = end;
    if (folder.listing == Folder::Listing::Listed) {
        // Listed ahead: the walk's listing names the files in the order the thread's did.
        if (m_cursor >= folder.files.First() && m_cursor < end &&
            folder.files[m_cursor].name == name) {
            at = m_cursor++;
        } else {
            if (folder.index.empty()) {
                for (size_t f = folder.files.First(); f < end; ++f) {
                    folder.index.emplace(folder.files[f].name, f);
                }
            }
            const auto listed = folder.index.find(name);
            if (listed != folder.index.end() && listed->second >= folder.files.First() &&
                folder.files[listed->second].state != Slot::State::Taken) {
                at = listed->second;
            }
        }
    }
    if (at == end) {
        // A file no thread listed: named now, read by a thread or when it is taken.
        Slot& slot = folder.files.Append();
        slot.name = name;
        slot.plain = plainFile;
        Hold(folder, HeldFor<Slot>(name));
        m_open.insert(m_current);
        const bool filled = folder.files.End() == folder.taken + m_limits.window;
        const bool wake = WakeForFiles(folder, filled);
        lock.unlock();
        if (wake) m_work.notify_one();
    }
    m_named.push_back(at);
}

bool ReadAhead::WakeForFiles(const Folder& folder, bool filled) const {
    // Never more than each thread's share of the window, which all of them may be busy with.
    const size_t share = m_limits.window / std::max(m_limits.threads, 1u);
    const size_t batch = std::max<size_t>(std::min(kWakeForFiles, share), 1);
    const size_t first = std::max(folder.claimed, folder.files.First());
    const size_t end = std::min(folder.files.End(), folder.taken + m_limits.window);
    return m_idle > 0 && end > first && (filled || end >= first + batch);
}

bool ReadAhead::ClaimableFile(const Folder& folder, size_t& at) const {
    const size_t end = std::min(folder.files.End(), folder.taken + m_limits.window);
    for (at = std::max(folder.claimed, folder.files.First()); at < end; ++at) {
        if (folder.files[at].state == Slot::State::Waiting) return true;
    }
    return false;
}

ReadAhead::FolderPtr ReadAhead::NextWork() {
    if (HeldBack()) return nullptr;
    for (auto it = m_open.begin(); it != m_open.end();) {
        const Folder& folder = **it;
        if (folder.listing == Folder::Listing::Waiting) return *it;
        size_t at = 0;
        const bool claimable = ClaimableFile(folder, at);
        if (claimable && folder.handle) return *it;
        // Kept while its window holds it back, or until the walk's handle comes.
        const bool heldBack = claimable || at < folder.files.End();
        it = heldBack ? std::next(it) : m_open.erase(it);
    }
    return nullptr;
}

void ReadAhead::Serve() {
    std::unique_lock<std::mutex> lock(m_mutex, std::defer_lock);
    for (;;) {
        if (!lock.owns_lock()) lock.lock();
        FolderPtr folder;
        while (!Stopping() && (folder = NextWork()) == nullptr) {
            ++m_idle;
            m_work.wait(lock);
            --m_idle;
        }
        if (Stopping()) return;
        // A listing ends with the lock released, so that what it lets go of is freed while
        // others work; a read mostly ends holding it, to take the next work in the same turn.
        if (folder->listing == Folder::Listing::Waiting) {
            ListAhead(folder, lock);
        } else {
            ReadAheadOf(folder, lock);
        }
    }
}

void ReadAhead::ListAhead(const FolderPtr& folder, std::unique_lock<std::mutex>& lock) {
    folder->listing = Folder::Listing::Listing;
    ++folder->reading;
    m_open.erase(folder);
    const std::string path = folder->path;
    const bool idPlanned = folder->idPlanned;
    lock.unlock();

    auto handle = std::make_shared<const FolderHandle>(path, folder->system);
    // Unless the walk planned it, a folder may be one planned already by another route (or a
    // route back up the path): then what its listing found is left out.
    FileTimes times;
    const std::optional<FolderId> id = idPlanned ? std::nullopt : GetFolderId(*handle, &times);
    FolderListing listing;
    ListFolder(*handle, listing, &m_stopping);
    NameOrder order;
    std::string scratch;
    OrderNames(listing.subFolders, order, scratch);  // in the walk's order
    // Its sub-folders, planned after it: made here, placed in the plan under the lock. A folder
    // being listed has none planned yet (the walk waits for the listing before it plans any).
    std::vector<FolderPtr> children;
    for (uint32_t i = 0; i < order.Count(); ++i) {
        const std::string& name = listing.subFolders[order.ValueAt(i)];
        Key key = folder->key;
        key.push_back(i);
        children.push_back(NewFolder(std::move(key), JoinPath(path, name), handle->SubFolder(name), false));
    }
    // The files of a small folder are read in the same turn, each a hand-over less.
    const size_t files = listing.FileCount();
    std::vector<Slot> read(files <= kReadWithListing ? files : 0);
    for (size_t f = 0; f < read.size(); ++f) {
        read[f].name = listing.File(f);
        read[f].plain = listing.FilePlain(f);
        Read(*handle, read[f]);
        read[f].state = Slot::State::Read;
    }

    lock.lock();
    --folder->reading;
    size_t wake = 0;
    folder->id = id;
    folder->times = times;
    if (!folder->gone) {
        if (id && !m_planned.insert(*id).second) {
            children.clear();
            listing.Clear();
            read.clear();
        } else {
            // Kept for the walk, which takes it instead of listing the folder again.
            folder->listingKept = true;
            folder->anyFile = listing.anyFile;
            for (std::string& name : listing.subFolders) {
                Hold(*folder, HeldFor<std::string>(name));
                folder->subFolderNames.push_back(std::move(name));
            }
        }
        folder->listing = Folder::Listing::Listed;
        m_listedAhead.fetch_add(1, std::memory_order_relaxed);
        m_readOnThreads.fetch_add(read.size(), std::memory_order_relaxed);
        for (FolderPtr& child : children) Place(std::move(child));
        folder->subFolders = static_cast<uint32_t>(children.size());
        for (size_t f = 0; f < listing.FileCount(); ++f) {
            Slot& slot = folder->files.Append();
            if (f < read.size()) {
                slot = std::move(read[f]);
                Hold(*folder, HeldFor<Slot>(slot.name) + slot.text.size());
            } else {
                slot.name = listing.File(f);
                slot.plain = listing.FilePlain(f);
                Hold(*folder, HeldFor<Slot>(slot.name));
            }
        }
        const bool filesToRead = listing.FileCount() > read.size();
        if (filesToRead) {
            folder->handle = std::move(handle);
            m_open.insert(folder);
        }
        wake = std::min<size_t>(folder->subFolders + filesToRead, m_idle);
    }
    const bool wakeWalk = m_walkWaits;  // for this listing, maybe
    lock.unlock();
    if (wakeWalk) m_done.notify_all();
    // As many threads as there is new work for; woken once the lock is free, so that they
    // need not wait for it.
    for (size_t i = 0; i < wake; ++i) m_work.notify_one();
}

void ReadAhead::ReadAheadOf(const FolderPtr& folder, std::unique_lock<std::mutex>& lock) {
    size_t at = 0;
    ClaimableFile(*folder, at);
    folder->claimed = at + 1;
    Slot& slot = folder->files[at];  // stays put: the walk drops only taken files
    slot.state = Slot::State::Reading;
    ++folder->reading;
    std::shared_ptr<const FolderHandle> handle = folder->handle;
    lock.unlock();
    Read(*handle, slot);
    m_readOnThreads.fetch_add(1, std::memory_order_relaxed);
    lock.lock();
    slot.state = Slot::State::Read;
    Hold(*folder, slot.text.size());
    --folder->reading;
    // A folder ahead whose files are all read lets its handle go: nothing more is read there.
    if (folder != m_current && folder->reading == 0 && !ClaimableFile(*folder, at)) {
        folder->handle.reset();
    }
    // The lock is kept for the next work unless the walk waits for this file or the handle is
    // to be closed, which are done once it is released.
    const bool wakeWalk = m_walkWaits && folder == m_current;
    if (wakeWalk || handle.use_count() == 1) {
        lock.unlock();
        handle.reset();
        if (wakeWalk) m_done.notify_all();
    }
}

void ReadAhead::Slots::DropTaken() {
    while (m_dropped < m_slots.size() && m_slots[m_dropped]->state == Slot::State::Taken) {
        m_slots[m_dropped++].reset();
    }
    // Once half the list is dropped slots, the rest moves up (the slots themselves stay put).
    if (m_dropped > 64 && m_dropped * 2 > m_slots.size()) {
        m_slots.erase(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(m_dropped));
        m_first += m_dropped;
        m_dropped = 0;
    }
}

void ReadAhead::Read(const FolderHandle& folder, Slot& slot) const {
    slot.kind = EntryToRead(folder, slot.name, slot.plain, m_lookup, slot.entry)
                    ? m_reader(folder, slot.entry, slot.text)
                    : TextKind::None;
}

const ShortcutRecord& ReadAhead::Take() {
    std::unique_lock<std::mutex> lock(m_mutex);
    Folder& folder = *m_current;
    const size_t at = m_named.front();
    m_named.pop_front();
    Slot& slot = folder.files[at];
    // No reader has come to it (all busy further on, or none): it is read here rather than
    // waited for.
    const bool here = slot.state == Slot::State::Waiting;
    if (!here) WaitDone(lock, [&slot] { return slot.state == Slot::State::Read; });
    Release(folder, HeldFor<Slot>(slot.name) + (here ? 0 : slot.text.size()));
    m_taken = std::move(slot);
    slot.state = Slot::State::Taken;
    ++folder.taken;
    // The window moved on by a file, which may wait for a reader.
    const bool wake = WakeForFiles(folder);
    folder.files.DropTaken();
    lock.unlock();
    if (wake) m_work.notify_one();
    if (here) Read(*m_folder, m_taken);
    ++m_delivered;
    m_record.name = m_taken.name;
    m_record.entry = std::move(m_taken.entry);
    m_record.text = m_taken.text;
    m_record.kind = m_taken.kind;
    return m_record;
}

void ReadAhead::End() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_named.clear();
    if (m_current) {
        // Its readers may use the walk's handle.
        Folder& folder = *m_current;
        WaitDone(lock, [&folder] { return folder.reading == 0; });
        Forget(folder);
        m_current.reset();
    }
    m_folder = nullptr;
}

}  // namespace favpage
