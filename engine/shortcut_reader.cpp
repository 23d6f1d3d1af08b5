// engine/shortcut_reader.cpp: recognising Internet Shortcut files and making their links.
#include "engine/shortcut_reader.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "engine/html_text.h"
#include "engine/page_encoding.h"
#include "platform/file_bytes.h"
#include "text/address.h"
#include "text/utf16.h"

namespace favpage {

namespace {

std::string_view Trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// True when `text` is `word` in any letter case. `word` is lower-case letters only, so setting
// the 0x20 bit of a byte of `text` yields the word's letter exactly when the byte is that letter
// in either case: no other byte maps to a lower-case letter.
bool IsWordIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((text[i] | 0x20) != word[i]) return false;
    }
    return true;
}

}  // namespace

namespace {

// What a shortcut's text says: the URL of its [InternetShortcut] section and, when it also has an
// [InternetShortcut.W] section with a URL key, that one (UTF-7, as Windows writes an address with
// characters outside the code page).
struct ShortcutUrls {
    std::string_view url;
    std::optional<std::string_view> wideUrl;
    bool utf8 = false;  // the text began with a UTF-8 byte-order mark: `url` is UTF-8
};

enum class Section { Other, Shortcut, Wide };

Section SectionOf(std::string_view line) {
    const size_t close = line.find(']');
    const std::string_view name =
        Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
    constexpr std::string_view kShortcut = "internetshortcut";
    if (IsWordIgnoringCase(name, kShortcut)) return Section::Shortcut;
    // The same name with ".W" after it; the full stop is matched exactly, not by its bits.
    if (name.size() == kShortcut.size() + 2 && name[kShortcut.size()] == '.' &&
        IsWordIgnoringCase(name.substr(0, kShortcut.size()), kShortcut) &&
        IsWordIgnoringCase(name.substr(kShortcut.size() + 1), "w")) {
        return Section::Wide;
    }
    return Section::Other;
}

// The start of the first line at or after `pos` (a line start) that begins a section: blanks,
// then '['. Only such lines matter where no key is wanted, and '[' is rare in a shortcut.
size_t NextSectionLine(std::string_view text, size_t pos) {
    for (size_t at = pos; (at = text.find('[', at)) != std::string_view::npos; ++at) {
        size_t start = at;
        while (start > pos && (text[start - 1] == ' ' || text[start - 1] == '\t')) --start;
        if (start == pos || text[start - 1] == '\n') return start;
    }
    return text.size();
}

std::optional<ShortcutUrls> ReadUrls(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool utf8 = text.substr(0, kBom.size()) == kBom;
    if (utf8) text.remove_prefix(kBom.size());

    std::optional<std::string_view> url;  // set once the URL key of its section is read
    bool shortcut = false;                // an [InternetShortcut] section was seen
    bool wideSeen = false;                // an [InternetShortcut.W] section was seen
    ShortcutUrls urls;
    Section section = Section::Other;
    // A 0 byte ends a line's text, as it ends every string Windows hands over from it; most
    // files hold none, and then no line needs to be searched for one.
    const bool hasZero = text.find('\0') != std::string_view::npos;
    size_t pos = 0;
    while (pos < text.size()) {
        const bool wanted =
            section == Section::Shortcut ? !url : section == Section::Wide && !urls.wideUrl;
        if (!wanted && !hasZero) {
            pos = NextSectionLine(text, pos);
            if (pos == text.size()) break;
        }
        const size_t lf = text.find('\n', pos);
        const size_t stop = lf == std::string_view::npos ? text.size() : lf;
        const std::string_view raw = text.substr(pos, stop - pos);
        const std::string_view line = Trim(hasZero ? raw.substr(0, raw.find('\0')) : raw);
        pos = stop + 1;

        if (!line.empty() && line[0] == '[') {
            // Only the first section of each kind counts, as for keys the first one wins.
            section = SectionOf(line);
            if (section == Section::Shortcut && shortcut) section = Section::Other;
            if (section == Section::Wide && wideSeen) section = Section::Other;
            shortcut = shortcut || section == Section::Shortcut;
            wideSeen = wideSeen || section == Section::Wide;
            continue;
        }
        if (section == Section::Other) continue;
        if (section == Section::Shortcut ? url.has_value() : urls.wideUrl.has_value()) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!IsWordIgnoringCase(Trim(line.substr(0, eq)), "url")) continue;
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (section == Section::Shortcut) {
            url = value;
        } else {
            urls.wideUrl = value;
        }
        if (url && urls.wideUrl) break;
    }
    if (!shortcut) return std::nullopt;
    urls.url = url.value_or(std::string_view());
    urls.utf8 = utf8;
    return urls;
}

// The decoded address of a .W URL, when it decodes cleanly to something.
bool DecodeWide(const ShortcutUrls& urls, std::string& decoded) {
    return urls.wideUrl && !urls.wideUrl->empty() && DecodeUtf7(*urls.wideUrl, decoded);
}

// True when `text` begins with a UTF-16 byte-order mark; `bigEndian` tells which.
bool IsUtf16(std::string_view text, bool& bigEndian) {
    if (text.size() < 2) return false;
    const auto first = static_cast<unsigned char>(text[0]);
    const auto second = static_cast<unsigned char>(text[1]);
    bigEndian = first == 0xFE && second == 0xFF;
    return bigEndian || (first == 0xFF && second == 0xFE);
}

// The UTF-8 of a UTF-16 file's bytes after the byte-order mark, with text mode's rules applied
// to its characters: every CR dropped, the first Ctrl-Z ending the text.
void Utf16Text(std::string_view bytes, bool bigEndian, std::string& text) {
    text.clear();
    AppendFromUtf16(text, bytes.substr(2), bigEndian);
    // UTF-8 holds these two bytes only as these two characters.
    const size_t ctrlZ = text.find('\x1A');
    if (ctrlZ != std::string::npos) text.resize(ctrlZ);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
}

}  // namespace

std::optional<std::string> ParseShortcut(std::string_view text) {
    const std::optional<ShortcutUrls> urls = ReadUrls(text);
    if (!urls) return std::nullopt;
    std::string decoded;
    if (!DecodeWide(*urls, decoded)) return std::string(urls->url);
    std::string target;
    AppendPercentEncoded(target, decoded);
    return target;
}

std::string_view LinkText(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

void AppendPageLink(std::string& out, const FoundLink& link) {
    out += "<li><A HREF=\"";
    if (link.utf8 && !PageTakesUtf8Addresses()) {
        thread_local std::string encoded;
        encoded.clear();
        AppendPercentEncoded(encoded, link.target);
        AppendPageAddress(out, encoded);
    } else {
        AppendPageAddress(out, link.target);
    }
    out += "\">";
    AppendPageText(out, link.text);
    out += "</A>\n\n";
}

namespace {

class PageLinkFormat : public LinkFormat {
public:
    void AppendLink(std::string& out, const FoundLink& link) override { AppendPageLink(out, link); }
};

// The text of the folder's entry, read into `buffer` in text mode; or, for a file that begins
// with a UTF-16 byte-order mark, its UTF-8 in `utf16Text`, with `utf16` set. Nothing when the
// file could not be opened. The buffer holds kShortcutExamineLimit bytes, or the entry's length
// when that is less: the entry was looked up a moment ago, and its length bounds every read
// (an entry its listing showed as a plain file has no length, and needs the whole limit).
std::optional<std::string_view> ReadShortcutText(const FolderHandle& folder,
                                                 const DirEntry& entry, char* buffer,
                                                 std::string& utf16Text, bool& utf16) {
    utf16 = false;
    std::optional<size_t> length =
        TextFile::ReadLookedUp(folder, entry, buffer, kShortcutExamineLimit);
    if (!length) return std::nullopt;
    bool bigEndian = false;
    if (!IsUtf16(std::string_view(buffer, *length), bigEndian)) {
        return std::string_view(buffer, *length);
    }
    // Text mode would take bytes of UTF-16 characters for CRs and Ctrl-Zs: the bytes are read
    // again as they are, as many as the limit allows.
    const std::optional<size_t> bytes =
        ReadBytesLookedUp(folder, entry, buffer, kShortcutExamineLimit);
    if (!bytes) return std::nullopt;
    const std::string_view raw(buffer, *bytes);
    utf16 = IsUtf16(raw, bigEndian);
    if (utf16) {
        Utf16Text(raw, bigEndian, utf16Text);
        return std::string_view(utf16Text);
    }
    // The mark came about only where text mode dropped a CR: the file is 8-bit text after all.
    length = TextFile::ReadLookedUp(folder, entry, buffer, kShortcutExamineLimit);
    if (!length) return std::nullopt;
    return std::string_view(buffer, *length);
}

}  // namespace

namespace {

// A plain folder cannot be a shortcut; a hidden or system one is tried and fails to open. A
// device, pipe or socket is never opened: opening some devices acts on them.
bool MayBeShortcut(const DirEntry& entry) {
    return entry.attributes != kAttrDirectory && !(entry.attributes & kAttrDevice);
}

}  // namespace

TextKind ReadShortcutFile(const FolderHandle& folder, const DirEntry& entry, char* buffer,
                          std::string& utf16Text, std::string_view& text) {
    if (!MayBeShortcut(entry)) return TextKind::None;
    bool utf16 = false;
    const std::optional<std::string_view> read =
        ReadShortcutText(folder, entry, buffer, utf16Text, utf16);
    if (!read) return TextKind::None;
    text = *read;
    return utf16 ? TextKind::FromUtf16 : TextKind::Plain;
}

TextKind ReadShortcutFile(const FolderHandle& folder, const DirEntry& entry, std::string& text) {
    // Read into this thread's buffer of the whole limit, then copied out: an entry its listing
    // showed as a plain file has no length to size `text` by.
    thread_local const std::unique_ptr<char[]> buffer(new char[kShortcutExamineLimit]);
    thread_local std::string utf16Text;
    std::string_view read;
    const TextKind kind = ReadShortcutFile(folder, entry, buffer.get(), utf16Text, read);
    text.assign(read.data(), read.size());
    return kind;
}

bool AppendLinkOfText(int32_t& shortcutCount, const DirEntry& entry, std::string_view text,
                      TextKind kind, LinkFormat& format, std::string& links) {
    if (kind == TextKind::None) return false;
    const std::optional<ShortcutUrls> urls = ReadUrls(text);
    if (!urls) return false;
    if (shortcutCount < INT32_MAX) ++shortcutCount;

    std::string_view target = urls->url;
    bool utf8 = urls->utf8;
    thread_local std::string decoded;
    // Percent-encoding leaves only ASCII, which is then escaped like any other address. A UTF-16
    // file's address is Unicode, as a decoded .W address is, whatever the page's encoding.
    thread_local std::string encoded;
    if (DecodeWide(*urls, decoded)) {
        encoded.clear();
        AppendPercentEncoded(encoded, decoded);
        target = encoded;
        utf8 = false;
    } else if (kind == TextKind::FromUtf16) {
        encoded.clear();
        AppendPercentEncoded(encoded, urls->url);
        target = encoded;
    }
    format.AppendLink(links, FoundLink{target, LinkText(entry.name), entry.times, utf8});
    return true;
}

void WriteShortcut(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                   const DirEntry& entry) {
    const FolderHandle handle(folder);
    std::string text;
    const TextKind kind = ReadShortcutFile(handle, entry, text);
    PageLinkFormat page;
    std::string link;
    if (AppendLinkOfText(shortcutCount, entry, text, kind, page, link)) out.Write(link);
}

}  // namespace favpage
