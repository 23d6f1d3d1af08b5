// engine/bookmark_writer.cpp: the Netscape bookmark file, folder by folder.
#include "engine/bookmark_writer.h"

#include "engine/folder_walk.h"
#include "engine/html_text.h"
#include "engine/page_encoding.h"
#include "text/utf8.h"

namespace favpage {

namespace {

// A date in seconds since 1970; one before it (a file time Windows may hold) as 0.
void AppendDate(std::string& out, int64_t seconds) {
    uint64_t value = seconds < 0 ? 0 : static_cast<uint64_t>(seconds);
    char digits[20];
    char* p = digits + sizeof digits;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    out.append(p, static_cast<size_t>(digits + sizeof digits - p));
}

}  // namespace

void AppendBookmarkName(std::string& out, std::string_view name) {
    if (IsUtf8(name)) {
        AppendEscaped(out, name);
    } else {
        AppendEscaped(out, NameAsUtf8(name));
    }
}

void AppendBookmarkAddress(std::string& out, std::string_view address) {
    if (IsUtf8(address)) {
        AppendEscaped(out, address);
    } else {
        AppendEscaped(out, AddressAsUtf8(address));
    }
}

void BookmarkWriter::AppendLink(std::string& out, const FoundLink& link) {
    // Made while the link's folder is the last one begun.
    Indent(out, m_levels.size() + 1);
    out += "<DT><A HREF=\"";
    AppendBookmarkAddress(out, link.target);
    out += "\" ADD_DATE=\"";
    AppendDate(out, link.times.created);
    out += "\" LAST_MODIFIED=\"";
    AppendDate(out, link.times.modified);
    out += "\">";
    AppendBookmarkName(out, link.text);
    out += "</A>\n";
}

void BookmarkWriter::BeginFolder(const FoundFolder& folder) {
    const size_t depth = m_levels.size() + 1;
    m_text.clear();
    Indent(m_text, depth);
    m_text += "<DT><H3 ADD_DATE=\"";
    AppendDate(m_text, folder.times.created);
    m_text += "\" LAST_MODIFIED=\"";
    AppendDate(m_text, folder.times.modified);
    m_text += "\">";
    AppendBookmarkName(m_text, folder.name);
    m_text += "</H3>\n";
    Indent(m_text, depth);
    m_text += "<DL><p>\n";
    m_out.Write(m_text);
    m_levels.emplace_back();
}

void BookmarkWriter::SubFolders(const std::vector<FoundFolder>& subFolders) {
    // Only the sub-folders whose part is here are written inside this folder.
    for (const FoundFolder& sub : subFolders) {
        if (sub.partHere) m_levels.back().holdLinks = true;
    }
}

void BookmarkWriter::Link(std::string_view text) {
    Level& level = m_levels.back();
    if (level.holdLinks) {
        level.held.append(text.data(), text.size());
    } else {
        m_out.Write(text);
    }
}

void BookmarkWriter::EndFolder() {
    m_text = std::move(m_levels.back().held);
    m_levels.pop_back();
    Indent(m_text, m_levels.size() + 1);
    m_text += "</DL><p>\n";
    m_out.Write(m_text);
}

WalkCounts WriteBookmarks(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                          ReadAheadMode readAhead) {
    out.Write(
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n"
        "<DL><p>\n");
    BookmarkWriter writer(out);
    const WalkCounts counts = WalkFolders(shortcutCount, folder, writer, readAhead);
    out.Write("</DL><p>\n");
    return counts;
}

}  // namespace favpage
