// engine/folder_walk.cpp: the iterative folder walk and the page body.
#include "engine/folder_walk.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/html_text.h"
#include "engine/link_store.h"
#include "engine/page_writer.h"
#include "engine/shortcut_reader.h"
#include "engine/sorted_name_list.h"
#include "platform/dir_search.h"
#include "platform/read_ahead.h"

namespace favpage {

namespace {

std::atomic<ReadAheadMode> gReadAheadMode{ReadAheadMode::Auto};

// Readers of the read-ahead: enough requests at once to keep a disk (or the storage behind a
// virtual one) busy; they wait, so they cost little processor time.
constexpr unsigned kReaders = 16;

// Tells from the time the walk's own reads take whether the files come from the disk rather
// than the system's cache: a cached file is looked up, read and linked in a few microseconds, one
// from a disk takes a hundred or more. Files are judged sixteen at a time, and the files count
// as slow after two slow samples in a row, so that the first files of a run (whose reads also
// pay for the run's first allocations) or one slow moment of a busy machine do not count.
class Pace {
public:
    using Clock = std::chrono::steady_clock;
    // Counts one file read in the time since `start`; true once the files come slowly.
    bool Slow(Clock::time_point start) {
        m_spent += Clock::now() - start;
        if (++m_files < kSample) return false;
        m_slowSamples = m_spent >= kSample * kSlowFile ? m_slowSamples + 1 : 0;
        m_files = 0;
        m_spent = Clock::duration::zero();
        return m_slowSamples >= 2;
    }

private:
    static constexpr int kSample = 16;
    static constexpr std::chrono::microseconds kSlowFile{40};
    int m_files = 0;
    int m_slowSamples = 0;
    Clock::duration m_spent{};
};

struct FolderIdHash {
    size_t operator()(const FolderId& id) const {
        return std::hash<uint64_t>()(id.index * 0x9E3779B97F4A7C15ull ^ id.volume);
    }
};

// One folder whose part is written and whose sub-folders are being walked.
struct Level {
    std::optional<FolderId> id;
    std::vector<FoundFolder> subFolders;
    size_t next = 0;
};

bool Fits(const std::string& folder, const std::string& name) {
    return name.size() <= kMaxNameLength && folder.size() + 1 + name.size() <= kMaxPathLength;
}

// The name a folder path ends in: its last name; the whole path when it has none ("/").
std::string FolderName(const std::string& path) {
    const std::string_view name = LastName(path);
    return name.empty() ? path : std::string(name);
}

class Walk {
public:
    Walk(int32_t& shortcutCount, WalkWriter& writer)
        : m_count(shortcutCount),
          m_writer(writer),
          m_readAhead(kReaders, &ReadShortcutFile),
          m_ahead(gReadAheadMode.load() == ReadAheadMode::Always) {}

    void Run(const std::string& path) {
        FoundFolder root;
        root.path = path;
        root.name = FolderName(path);
        if (root.name == "." || root.name == "..") {
            if (const std::optional<std::string> full = FullFolderPath(path)) {
                root.name = FolderName(*full);
            }
        }
        root.id = GetFolderId(path, &root.times);
        m_levels.push_back(WriteLevel(root));
        while (!m_levels.empty() && !m_writer.Failed()) {
            Level& top = m_levels.back();
            if (top.next == top.subFolders.size()) {
                m_levels.pop_back();
                m_writer.EndFolder();
                continue;
            }
            const FoundFolder& sub = top.subFolders[top.next++];
            if (!sub.partHere) continue;
            m_levels.push_back(WriteLevel(sub));  // `sub` is not used once the push moves `top`
        }
    }

private:
    bool OnPath(const FolderId& id, const std::optional<FolderId>& current) const {
        if (current && *current == id) return true;
        for (const Level& l : m_levels) {
            if (l.id && *l.id == id) return true;
        }
        return false;
    }

    std::string UniqueAnchor(const std::string& path) {
        const std::string base = AnchorName(path);
        if (m_anchors.insert(base).second) return base;
        int& suffix = m_nextSuffix[base];
        if (suffix < 2) suffix = 2;
        for (;;) {
            std::string candidate = base + "_" + std::to_string(suffix++);
            if (m_anchors.insert(candidate).second) return candidate;
        }
    }

    // Reports `found`, its sub-folders and its links; returns the level with the sub-folders
    // still to walk.
    Level WriteLevel(const FoundFolder& found) {
        const std::string& folder = found.path;
        const std::optional<FolderId>& id = found.id;
        m_writer.BeginFolder(found);
        Level level;
        level.id = id;
        // Both listings, every lookup and every open of this folder go through one handle.
        const FolderHandle handle(folder, found.system);

        {
            std::vector<std::string> names;
            NameOrder order;
            DirSearch search;
            DirEntry& e = m_listed;
            for (bool more = search.FindFirst(handle, kSubFolderMask, Detail::NamesAndKinds, e);
                 more; more = search.FindNext(e)) {
                if (!(e.attributes & kAttrDirectory)) continue;
                if (e.name == "." || e.name == "..") continue;
                if (!Fits(folder, e.name)) continue;
                const OrderedName ordered = OrderName(e.name, m_scratch);
                order.Add(ordered.text, static_cast<uint32_t>(names.size()), ordered.tieBreak);
                names.push_back(e.name);
            }
            order.Order();
            for (uint32_t i = 0; i < order.Count(); ++i) {
                FoundFolder sub;
                sub.name = std::move(names[order.ValueAt(i)]);
                sub.path = JoinPath(folder, sub.name);
                sub.system = handle.SubFolder(sub.name);
                sub.id = GetFolderId(handle, sub.name, &sub.times);
                if (sub.id && OnPath(*sub.id, id)) continue;  // a loop back up the path
                // A folder listed before, by another route, is linked to its one part.
                const auto placed = sub.id ? m_placed.find(*sub.id) : m_placed.end();
                if (placed != m_placed.end()) {
                    sub.anchor = placed->second;
                    sub.partHere = false;
                } else {
                    sub.anchor = UniqueAnchor(sub.path);
                    if (sub.id) m_placed.emplace(*sub.id, sub.anchor);
                }
                level.subFolders.push_back(std::move(sub));
            }
        }
        m_writer.SubFolders(level.subFolders);
        WriteShortcutSection(handle);
        return level;
    }

    // Reports the links of `folder`. Each file is looked up and read as the listing
    // delivers it, while the system still has the directory and the file's inode at hand, and
    // its finished link is kept; the links are written in name order once the listing is done.
    // Past kLinkMemoryLimit only the names are kept, and those files are looked up and read in
    // name order, so a folder of huge shortcuts cannot exhaust memory. Either way the links
    // come out in name order, exactly as if the files had been read in that order.
    //
    // Once the files come slowly (from the disk rather than the cache), the rest of the walk
    // hands the looking up and reading to the read-ahead's threads: the listing names each file
    // to it, and the links are made from what it read, in the same listing order, so everything
    // after is as above.
    void WriteShortcutSection(const FolderHandle& folder) {
        m_order.Clear();
        m_links.Clear();
        bool any = false;
        bool began = false;
        {
            DirSearch search;
            DirEntry& e = m_listed;
            for (bool more = search.FindFirst(folder, kFileMask, Detail::NamesAndKinds, e); more;
                 more = search.FindNext(e)) {
                any = true;
                if (!Fits(folder.Path(), e.name)) continue;
                if (m_ahead) {
                    if (!began) m_readAhead.Begin(folder, kFileMask);
                    began = true;
                    m_readAhead.Add(e.name);
                    // Names wait for their files no longer than the read-ahead reads ahead.
                    while (m_readAhead.Pending() > ReadAhead::kWindow) LinkNextReadAhead();
                    continue;
                }
                const OrderedName ordered = OrderName(e.name, m_scratch);
                if (m_links.Size() >= kLinkMemoryLimit) {
                    m_order.Add(ordered.text, m_links.Add(e.name, kStillToRead), ordered.tieBreak);
                    continue;
                }
                const Pace::Clock::time_point start = Pace::Clock::now();
                // Looked up afresh for its current attributes; a file gone since the listing
                // is passed over.
                m_link.clear();
                const bool linked = FindEntry(folder, e.name, kFileMask, m_entry) &&
                                    AppendShortcutLink(m_count, folder, m_entry, m_writer, m_link);
                if (linked) {
                    m_order.Add(ordered.text, m_links.Add(m_link, !kStillToRead), ordered.tieBreak);
                }
                if (m_pace.Slow(start) && gReadAheadMode.load() != ReadAheadMode::Never) {
                    m_ahead = true;
                }
            }
        }
        if (began) {
            while (m_readAhead.Pending() > 0) LinkNextReadAhead();
            m_readAhead.End();
        }
        m_writer.BeginLinks(any);
        m_order.Order();
        // The links lie in listing order; fetching a few ahead hides most of the wait for
        // memory when a big folder's links are taken in name order.
        constexpr uint32_t kAhead = 8;
        const uint32_t count = m_order.Count();
        for (uint32_t i = 0; i < count; ++i) {
            if (i + kAhead < count) m_links.Prefetch(m_order.ValueAt(i + kAhead));
            const uint32_t handle = m_order.ValueAt(i);
            if (m_links.Marked(handle) != kStillToRead) {
                m_writer.Link(m_links.Text(handle));
                continue;
            }
            m_name.assign(m_links.Text(handle));
            m_link.clear();
            if (FindEntry(folder, m_name, kFileMask, m_entry) &&
                AppendShortcutLink(m_count, folder, m_entry, m_writer, m_link)) {
                m_writer.Link(m_link);
            }
        }
        m_writer.EndLinks(any);
    }

    // Keeps the link of the next file the read-ahead has read, as the listing loop keeps the
    // link of a file it reads itself.
    void LinkNextReadAhead() {
        bool read = false, utf16 = false;
        const bool found = m_readAhead.Take(m_name, m_entry, m_text, read, utf16);
        const OrderedName ordered = OrderName(m_name, m_scratch);
        if (m_links.Size() >= kLinkMemoryLimit) {
            m_order.Add(ordered.text, m_links.Add(m_name, kStillToRead), ordered.tieBreak);
            return;
        }
        m_link.clear();
        if (!found || !read) return;
        if (!AppendLinkOfText(m_count, m_entry, m_text, utf16, m_writer, m_link)) return;
        m_order.Add(ordered.text, m_links.Add(m_link, !kStillToRead), ordered.tieBreak);
    }

    // The mark of a name kept in m_links instead of a finished link.
    static constexpr bool kStillToRead = true;

    int32_t& m_count;
    WalkWriter& m_writer;
    std::vector<Level> m_levels;
    std::unordered_set<std::string> m_anchors;
    // The anchor of every folder listed so far, by identity: each real folder is walked once,
    // however many routes (links, junctions) lead to it.
    std::unordered_map<FolderId, std::string, FolderIdHash> m_placed;
    std::unordered_map<std::string, int> m_nextSuffix;

    // The shortcut section's working storage, kept from folder to folder so its memory is
    // allocated once for the largest folder rather than again for each.
    NameOrder m_order;
    LinkStore m_links;
    std::string m_link;
    std::string m_name;
    DirEntry m_listed;  // the entry a listing delivered, its storage reused
    // Looking up and reading files ahead, once they come slowly; the names handed to it.
    ReadAhead m_readAhead;
    bool m_ahead;
    Pace m_pace;
    std::string m_text;
    std::string m_scratch;  // a name's order text, where it differs from the name
    DirEntry m_entry;
};

}  // namespace

void SetReadAheadMode(ReadAheadMode mode) { gReadAheadMode.store(mode); }

void WalkFolders(int32_t& shortcutCount, const std::string& folder, WalkWriter& writer) {
    Walk(shortcutCount, writer).Run(folder);
}

void WriteFolder(int32_t& shortcutCount, const std::string& folder, TextFile& out) {
    PageWriter page(out);
    WalkFolders(shortcutCount, folder, page);
}

}  // namespace favpage
