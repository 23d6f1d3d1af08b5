// engine/bookmark_writer.cpp: the Netscape bookmark file, folder by folder.
#include "engine/bookmark_writer.h"

#include <cstring>

#include "engine/folder_walk.h"
#include "engine/html_text.h"
#include "platform/code_page.h"

namespace favpage {

namespace {

// The length of the UTF-8 sequence at `p` (before `end`), or 0 when none starts there: no
// overlong form, no surrogate, nothing past U+10FFFF. A surrogate's three-byte form, which the
// platform's Windows names may hold, sets `surrogate` and gives 3.
size_t SequenceLength(const unsigned char* p, const unsigned char* end, bool& surrogate) {
    surrogate = false;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t n;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < n) return 0;
    if (p[1] < low || p[1] > high) return 0;
    for (size_t i = 2; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
    }
    surrogate = c == 0xED && p[1] >= 0xA0;
    return n;
}

bool IsUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p != end) {
        // Eight ASCII bytes at a time, which is nearly every name and address.
        if (end - p >= 8) {
            uint64_t v;
            std::memcpy(&v, p, 8);
            if ((v & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        bool surrogate;
        const size_t n = SequenceLength(p, end, surrogate);
        if (n == 0 || surrogate) return false;
        p += n;
    }
    return true;
}


// What code page 1252 makes of the bytes 0x80 to 0x9F; the bytes it leaves undefined stay the
// control characters of the same value, as Windows reads them. From 0xA0 on it is Latin-1.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string FromCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

// The platform's Windows name with each unpaired surrogate (and, should one occur, each byte
// that starts no sequence) as U+FFFD.
std::string WithoutSurrogates(std::string_view name) {
    std::string out;
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const auto* const end = p + name.size();
    while (p != end) {
        bool surrogate;
        const size_t n = SequenceLength(p, end, surrogate);
        if (n == 0 || surrogate) {
            AppendUtf8(out, 0xFFFD);
            p += n == 0 ? 1 : n;
            continue;
        }
        out.append(reinterpret_cast<const char*>(p), n);
        p += n;
    }
    return out;
}

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
    } else if constexpr (kNamesAreCodePageText) {
        AppendEscaped(out, FromCp1252(name));
    } else {
        AppendEscaped(out, WithoutSurrogates(name));
    }
}

void AppendBookmarkAddress(std::string& out, std::string_view address) {
    if (IsUtf8(address)) {
        AppendEscaped(out, address);
    } else if constexpr (kNamesAreCodePageText) {
        AppendEscaped(out, FromCp1252(address));
    } else {
        AppendEscaped(out, NameFromCodePage(address));
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

void WriteBookmarks(int32_t& shortcutCount, const std::string& folder, TextFile& out) {
    out.Write(
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n"
        "<DL><p>\n");
    BookmarkWriter writer(out);
    WalkFolders(shortcutCount, folder, writer);
    out.Write("</DL><p>\n");
}

}  // namespace favpage
