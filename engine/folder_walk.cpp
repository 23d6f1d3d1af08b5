// engine/folder_walk.cpp: the iterative folder walk and the page body.
#include "engine/folder_walk.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/html_text.h"
#include "engine/link_store.h"
#include "engine/page_writer.h"
#include "engine/read_ahead.h"
#include "engine/shortcut_reader.h"
#include "engine/shortcut_source.h"
#include "engine/sorted_name_list.h"
#include "platform/dir_search.h"

namespace favpage {

namespace {

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
    Walk(int32_t& shortcutCount, WalkWriter& writer, ReadAheadMode readAhead)
        : m_count(shortcutCount),
          m_writer(writer),
          m_mode(readAhead),
          m_source(readAhead == ReadAheadMode::Always ? static_cast<ShortcutSource*>(&m_readAhead)
                                                      : &m_sequential) {}

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

    WalkCounts Counts() const {
        WalkCounts counts;
        counts.filesReadAhead = m_readAhead.Delivered();
        counts.filesReadOnThreads = m_readAhead.ReadOnThreads();
        return counts;
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
    // The files come as records from the walk's source: read one by one as they are named, or,
    // once they come slowly (from the disk rather than the cache), for the rest of the walk
    // read ahead on threads, in the same order, so everything after is as above.
    void WriteShortcutSection(const FolderHandle& folder) {
        m_order.Clear();
        m_links.Clear();
        bool any = false;
        m_source->Begin(folder);
        {
            DirSearch search;
            DirEntry& e = m_listed;
            for (bool more = search.FindFirst(folder, kFileMask, Detail::NamesAndKinds, e); more;
                 more = search.FindNext(e)) {
                any = true;
                if (!Fits(folder.Path(), e.name)) continue;
                if (m_source->Pending() == 0 && m_links.Size() >= kLinkMemoryLimit) {
                    KeepName(e.name);  // read when its turn comes, and only then
                    continue;
                }
                m_source->Add(e.name);
                while (m_source->Ready()) Keep(m_source->Take());
                if (m_source == &m_sequential && m_sequential.FilesComeSlowly() &&
                    m_mode == ReadAheadMode::Auto) {
                    m_source->End();
                    m_source = &m_readAhead;
                    m_source->Begin(folder);
                }
            }
        }
        while (m_source->Pending() > 0) Keep(m_source->Take());
        m_source->End();
        m_writer.BeginLinks(any);
        m_order.Order();
        // The links lie in listing order; fetching a few ahead hides most of the wait for
        // memory when a big folder's links are taken in name order.
        constexpr uint32_t kPrefetchDistance = 8;
        const uint32_t count = m_order.Count();
        for (uint32_t i = 0; i < count; ++i) {
            if (i + kPrefetchDistance < count) {
                m_links.Prefetch(m_order.ValueAt(i + kPrefetchDistance));
            }
            const uint32_t handle = m_order.ValueAt(i);
            if (m_links.Marked(handle) != kNameToRead) {
                m_writer.Link(m_links.Text(handle));
                continue;
            }
            m_link.clear();
            if (MakeLink(m_sequential.Read(folder, m_links.Text(handle)))) m_writer.Link(m_link);
        }
        m_writer.EndLinks(any);
    }

    // Keeps the link of a file the listing named, to be written in name order; past
    // kLinkMemoryLimit, its name, for the file to be read again when its turn comes.
    void Keep(const ShortcutRecord& record) {
        if (m_links.Size() >= kLinkMemoryLimit) return KeepName(record.name);
        m_link.clear();
        if (!MakeLink(record)) return;
        const OrderedName ordered = OrderName(record.name, m_scratch);
        m_order.Add(ordered.text, m_links.Add(m_link, !kNameToRead), ordered.tieBreak);
    }

    void KeepName(std::string_view name) {
        const OrderedName ordered = OrderName(name, m_scratch);
        m_order.Add(ordered.text, m_links.Add(name, kNameToRead), ordered.tieBreak);
    }

    // When the record is a shortcut's, counts it and puts its link in m_link.
    bool MakeLink(const ShortcutRecord& record) {
        return AppendLinkOfText(m_count, record.entry, record.text, record.kind, m_writer, m_link);
    }

    // The mark of a name kept in m_links instead of a finished link.
    static constexpr bool kNameToRead = true;

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
    DirEntry m_listed;  // the entry a listing delivered, its storage reused
    // Where the files' records come from: read one by one, or ahead on threads.
    const ReadAheadMode m_mode;
    SequentialSource m_sequential;
    ReadAhead m_readAhead;
    ShortcutSource* m_source;
    std::string m_scratch;  // a name's order text, where it differs from the name
};

}  // namespace

WalkCounts WalkFolders(int32_t& shortcutCount, const std::string& folder, WalkWriter& writer,
                       ReadAheadMode readAhead) {
    Walk walk(shortcutCount, writer, readAhead);
    walk.Run(folder);
    return walk.Counts();
}

WalkCounts WriteFolder(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                       ReadAheadMode readAhead) {
    PageWriter page(out);
    return WalkFolders(shortcutCount, folder, page, readAhead);
}

}  // namespace favpage
