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

// One folder whose part is written and whose sub-folders are being walked.
struct Level {
    std::optional<FolderId> id;
    std::vector<FoundFolder> subFolders;
    size_t next = 0;
};

// The walk's own handle of a folder, opened the first time it is needed: a folder that threads
// listed and read ahead, sub-folders included, needs none. The listing, every lookup and every
// open the walk makes in the folder go through this one handle.
class WalkHandle {
public:
    explicit WalkHandle(const FoundFolder& folder) : m_folder(folder) {}
    const FolderHandle& Get() {
        if (!m_handle) m_handle.emplace(m_folder.path, m_folder.system);
        return *m_handle;
    }
    SystemFolderPath SubFolder(const std::string& name) const {
        return FolderHandle::SubFolderOf(m_folder.path, m_folder.system, name);
    }

private:
    const FoundFolder& m_folder;
    std::optional<FolderHandle> m_handle;
};

// The name a folder path ends in: its last name; the whole path when it has none ("/").
std::string FolderName(const std::string& path) {
    const std::string_view name = LastName(path);
    return name.empty() ? path : std::string(name);
}

Lookup LookupFor(const WalkWriter& writer) {
    return writer.NeedsFileTimes() ? Lookup::Always : Lookup::UnlessPlain;
}

class Walk {
public:
    Walk(int32_t& shortcutCount, WalkWriter& writer, ReadAheadMode readAhead)
        : m_count(shortcutCount),
          m_writer(writer),
          m_mode(readAhead),
          m_sequential(LookupFor(writer)),
          m_readAhead(ReadAhead::Limits(), &ReadShortcutFile, LookupFor(writer)),
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
        counts.foldersListedAhead = m_readAhead.FoldersListedAhead();
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
        WalkHandle handle(found);
        const bool ahead = m_source == &m_readAhead;

        // Listed by the read-ahead's threads already, or now.
        if (!ahead || !m_readAhead.TakeListing(found, m_listing)) {
            ListFolder(handle.Get(), m_listing);
        }
        m_order.Clear();
        OrderNames(m_listing.subFolders, m_order, m_scratch);
        m_found.resize(m_order.Count());
        for (uint32_t i = 0; i < m_order.Count(); ++i) {
            FoundFolder& sub = m_found[i];
            sub = FoundFolder();
            sub.name = std::move(m_listing.subFolders[m_order.ValueAt(i)]);
            sub.path = JoinPath(folder, sub.name);
            sub.system = handle.SubFolder(sub.name);
        }
        // Those that threads listed are known; the others are looked up.
        if (ahead) m_readAhead.KnownIds(m_found);
        for (FoundFolder& sub : m_found) {
            if (!sub.id) sub.id = GetFolderId(handle.Get(), sub.name, &sub.times);
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
        m_writer.SubFolders(level.subFolders);
        if (ahead && !m_readAhead.Enter(found, level.subFolders)) {
            Replan(found, level.subFolders, nullptr);
        }
        WriteShortcutSection(found, level.subFolders, handle);
        return level;
    }

    // Has the read-ahead plan the rest of the walk from `found`, which it has begun and whose
    // sub-folders are `subFolders`: those, then what is left of each folder it is inside of.
    void Replan(const FoundFolder& found, const std::vector<FoundFolder>& subFolders,
                const FolderHandle* handle) {
        std::vector<const FoundFolder*> later;
        std::vector<FolderId> onPath;
        for (auto l = m_levels.rbegin(); l != m_levels.rend(); ++l) {
            if (l->id) onPath.push_back(*l->id);
            for (size_t i = l->next; i < l->subFolders.size(); ++i) {
                if (l->subFolders[i].partHere) later.push_back(&l->subFolders[i]);
            }
        }
        m_readAhead.Replan(found, subFolders, later, onPath, handle);
    }

    // Reports the links of `folder`. Each file is looked up and read in the order the listing
    // delivered it, right after the listing, and its finished link is kept; the links are
    // written in name order once all are read.
    // Past kLinkMemoryLimit only the names are kept, and those files are looked up and read in
    // name order, so a folder of huge shortcuts cannot exhaust memory. Either way the links
    // come out in name order, exactly as if the files had been read in that order.
    //
    // The files come as records from the walk's source: read one by one as they are named, or,
    // once they come slowly (from the disk rather than the cache), for the rest of the walk
    // from threads that list the folders the walk will come to and read their files ahead of
    // it; the records come in the same order, so everything after is as above.
    void WriteShortcutSection(const FoundFolder& found, const std::vector<FoundFolder>& subFolders,
                              WalkHandle& folder) {
        m_order.Clear();
        m_links.Clear();
        if (m_source != &m_readAhead || !m_readAhead.AllRead()) m_source->Begin(folder.Get());
        for (size_t f = 0; f < m_listing.FileCount(); ++f) {
            const std::string& name = m_name.assign(m_listing.File(f));
            if (m_source->Pending() == 0 && m_links.Size() >= kLinkMemoryLimit) {
                KeepName(name);  // read when its turn comes, and only then
                continue;
            }
            m_source->Add(name, m_listing.FilePlain(f));
            while (m_source->Ready()) Keep(m_source->Take());
            if (m_source == &m_sequential && m_sequential.FilesComeSlowly() &&
                m_mode == ReadAheadMode::Auto) {
                m_source->End();
                m_source = &m_readAhead;
                Replan(found, subFolders, &folder.Get());
            }
        }
        while (m_source->Pending() > 0) Keep(m_source->Take());
        m_source->End();
        m_writer.BeginLinks(m_listing.anyFile);
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
            if (MakeLink(m_sequential.Read(folder.Get(), m_links.Text(handle)))) {
                m_writer.Link(m_link);
            }
        }
        m_writer.EndLinks(m_listing.anyFile);
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
    FolderListing m_listing;  // the folder's listing, its storage reused
    std::vector<FoundFolder> m_found;  // its sub-folders as listed, in name order
    std::string m_name;       // the name of the file named last
    // Where the files' records come from: read one by one, or ahead on threads.
    const ReadAheadMode m_mode;
    SequentialSource m_sequential;
    ReadAhead m_readAhead;
    ShortcutSource* m_source;
    std::string m_scratch;  // a name's order text, where it differs from the name
};

}  // namespace

void ListFolder(const FolderHandle& folder, FolderListing& listing, const std::atomic<bool>* stop) {
    listing.Clear();
    DirSearch search;
    DirEntry& e = listing.entry;
    for (bool more = search.FindFirst(folder, kFileMask | kSubFolderMask, Detail::NamesAndKinds, e);
         more && !(stop && stop->load(std::memory_order_relaxed)); more = search.FindNext(e)) {
        const bool fits = FitsInWalk(folder.Path(), e.name);
        if (Admits(kFileMask, e.attributes)) {
            listing.anyFile = true;
            if (fits) listing.AddFile(e.name, e.plainFile);
        }
        if ((e.attributes & kAttrDirectory) && e.name != "." && e.name != ".." && fits) {
            listing.subFolders.push_back(e.name);
        }
    }
}

void OrderNames(const std::vector<std::string>& names, NameOrder& order, std::string& scratch) {
    for (uint32_t i = 0; i < names.size(); ++i) {
        const OrderedName ordered = OrderName(names[i], scratch);
        order.Add(ordered.text, i, ordered.tieBreak);
    }
    order.Order();
}

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
