// engine/folder_walk.cpp: the iterative folder walk and the page body.
#include "engine/folder_walk.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/html_text.h"
#include "engine/shortcut_reader.h"
#include "engine/sorted_name_list.h"
#include "platform/dir_search.h"

namespace favpage {

namespace {

struct SubFolder {
    std::string path;
    std::string anchor;
    std::optional<FolderId> id;
};

// One folder whose part is written and whose sub-folders are being walked.
struct Level {
    std::optional<FolderId> id;
    std::vector<SubFolder> subFolders;
    size_t next = 0;
};

bool Fits(const std::string& folder, const std::string& name) {
    return name.size() <= kMaxNameLength && folder.size() + 1 + name.size() <= kMaxPathLength;
}

class Walk {
public:
    Walk(int32_t& shortcutCount, TextFile& out) : m_count(shortcutCount), m_out(out) {}

    void Run(const std::string& root) {
        const std::optional<FolderId> rootId = GetFolderId(root);
        m_levels.push_back(WriteLevel(root, rootId));
        while (!m_levels.empty() && !m_out.Failed()) {
            Level& top = m_levels.back();
            if (top.next == top.subFolders.size()) {
                m_levels.pop_back();
                continue;
            }
            // Moved out before the push below can move the levels in memory.
            SubFolder sub = std::move(top.subFolders[top.next++]);
            m_out.Write("<A NAME=\"" + sub.anchor + "\"></A>");
            m_levels.push_back(WriteLevel(sub.path, sub.id));
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

    // Writes the sub-folder section and the shortcut section of `folder`; returns the level
    // with the sub-folders still to walk.
    Level WriteLevel(const std::string& folder, const std::optional<FolderId>& id) {
        Level level;
        level.id = id;
        const std::string pattern = folder + "\\*.*";
        const std::string escapedFolder = Escaped(folder);

        {
            TSListImp<std::string> subFolders;
            DirSearch search;
            for (auto e = search.FindFirst(pattern, kSubFolderMask, Detail::NamesAndKinds); e;
                 e = search.FindNext()) {
                if (!(e->attributes & kAttrDirectory) || e->name == "." || e->name == "..") continue;
                if (!Fits(folder, e->name)) continue;
                subFolders.Add(folder + "\\" + e->name);
            }
            for (const std::string& path : subFolders) {
                std::optional<FolderId> subId = GetFolderId(path);
                if (subId && OnPath(*subId, id)) continue;  // a loop back up the path
                level.subFolders.push_back(SubFolder{path, UniqueAnchor(path), subId});
            }
        }
        if (!level.subFolders.empty()) {
            std::string text = "Sub-Folders in " + escapedFolder + "<ul>\n";
            for (const SubFolder& sub : level.subFolders) {
                text += "<li><A HREF=\"#";
                text += sub.anchor;
                text += "\">";
                AppendEscaped(text, sub.path);
                text += "</A>\n";
            }
            text += "</ul>\n";
            m_out.Write(text);
        }

        TSListImp<std::string> names;
        bool any = false;
        {
            DirSearch search;
            for (auto e = search.FindFirst(pattern, kFileMask, Detail::NamesAndKinds); e;
                 e = search.FindNext()) {
                any = true;
                names.Add(std::move(e->name));
            }
        }
        if (!any) {
            m_out.Write("<p>The folder " + escapedFolder + " has no shortcuts.<p>\n");
            return level;
        }
        m_out.Write("<p>Shortcuts in " + escapedFolder + ":\n<ul>\n");
        for (const std::string& name : names) {
            if (!Fits(folder, name)) continue;
            // Looked up afresh for its current attributes; a file gone since the scan is
            // passed over.
            const std::optional<DirEntry> entry = FindEntry(folder + "\\" + name, kFileMask);
            if (entry) WriteShortcut(m_count, folder, m_out, *entry);
        }
        m_out.Write("</ul>\n");
        return level;
    }

    int32_t& m_count;
    TextFile& m_out;
    std::vector<Level> m_levels;
    std::unordered_set<std::string> m_anchors;
    std::unordered_map<std::string, int> m_nextSuffix;
};

}  // namespace

void WriteFolder(int32_t& shortcutCount, const std::string& folder, TextFile& out) {
    Walk(shortcutCount, out).Run(folder);
}

}  // namespace favpage
