// engine/bookmark_writer.h: the bookmark file that browsers import, folders and all.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/folder_walk.h"
#include "engine/walk_writer.h"
#include "platform/text_file.h"

namespace favpage {

// Writes the bookmark file of `folder` to `out`: the head every browser knows
// ("<!DOCTYPE NETSCAPE-Bookmark-file-1>", UTF-8), then one folder named after `folder`'s last
// component holding the whole tree, nested as on disk. Shortcuts found are added to
// `shortcutCount`. `folder` is in the platform's form (platform/code_page.h); its files are read
// as `readAhead` says (engine/folder_walk.h).
WalkCounts WriteBookmarks(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                          ReadAheadMode readAhead = ReadAheadMode::Auto);

// Each folder is "<DT><H3 ...>name</H3>" and its own "<DL><p>" ... "</DL><p>"; each shortcut is
// "<DT><A HREF=... ADD_DATE=... LAST_MODIFIED=...>text</A>", with the dates in seconds since 1970.
// Within a folder its sub-folders come first, then its shortcuts, each in the page's name order:
// the page lists sub-folders first too, and so did the Favorites menu these folders come from.
// The walk reads a folder's shortcuts before it walks its sub-folders, so the links of a folder
// that has sub-folders are held in memory until its sub-folders are written. A folder reached
// again by another route appears once, where it was listed first.
class BookmarkWriter : public WalkWriter {
public:
    explicit BookmarkWriter(TextFile& out) : m_out(out) {}

    void AppendLink(std::string& out, const FoundLink& link) override;
    void BeginFolder(const FoundFolder& folder) override;
    void SubFolders(const std::vector<FoundFolder>& subFolders) override;
    void BeginLinks(bool) override {}
    void Link(std::string_view text) override;
    void EndLinks(bool) override {}
    void EndFolder() override;
    bool Failed() const override { return m_out.Failed(); }

private:
    struct Level {
        bool holdLinks = false;  // its sub-folders come before its links
        std::string held;
    };
    void Indent(std::string& out, size_t depth) const { out.append(4 * depth, ' '); }

    TextFile& m_out;
    std::vector<Level> m_levels;  // the folders begun and not yet ended
    std::string m_text;
};

// Text as the bookmark file holds it: UTF-8, with '&', '<', '>' and '"' as character references.
// Text that is valid UTF-8 is taken as it is; any other as NameAsUtf8 and AddressAsUtf8 make it
// UTF-8 (engine/page_encoding.h).
void AppendBookmarkName(std::string& out, std::string_view name);
void AppendBookmarkAddress(std::string& out, std::string_view address);

}  // namespace favpage
