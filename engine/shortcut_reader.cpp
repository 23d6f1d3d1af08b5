// engine/shortcut_reader.cpp: recognising Internet Shortcut files and writing their links.
#include "engine/shortcut_reader.h"

#include <climits>
#include <memory>

#include "engine/html_text.h"

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

std::optional<std::string> ParseShortcut(std::string_view text) {
    const std::optional<std::string_view> target = ShortcutTarget(text);
    if (!target) return std::nullopt;
    return std::string(*target);
}

std::optional<std::string_view> ShortcutTarget(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());

    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t lf = text.find('\n', pos);
        const size_t stop = lf == std::string_view::npos ? text.size() : lf;
        // A 0 byte ends a line's text, as it ends every string Windows hands over from it.
        const std::string_view raw = text.substr(pos, stop - pos);
        const std::string_view line = Trim(raw.substr(0, raw.find('\0')));
        pos = stop + 1;

        if (!line.empty() && line[0] == '[') {
            if (inSection) break;  // the section ended without a URL key
            const size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            inSection = IsWordIgnoringCase(name, "internetshortcut");
            continue;
        }
        if (!inSection) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!IsWordIgnoringCase(Trim(line.substr(0, eq)), "url")) continue;
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        return value;  // the first URL key wins
    }
    if (inSection) return std::string_view();
    return std::nullopt;
}

std::string_view LinkText(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

void WriteShortcut(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                   const DirEntry& entry) {
    std::string link;
    if (AppendShortcutLink(shortcutCount, folder + "\\" + entry.name, entry, link)) out.Write(link);
}

bool AppendShortcutLink(int32_t& shortcutCount, const std::string& path, const DirEntry& entry,
                        std::string& links) {
    // A plain folder cannot be a shortcut; a hidden or system one is tried and fails to open.
    if (entry.attributes == kAttrDirectory) return false;

    // One buffer serves every file of the run: the walk reads one file at a time.
    static const std::unique_ptr<char[]> buffer(new char[kShortcutExamineLimit]);
    // The entry was looked up a moment ago; its size bounds the read, as text mode delivers no
    // more characters than there are bytes.
    const std::optional<size_t> length =
        TextFile::ReadLookedUp(path, entry.length, buffer.get(), kShortcutExamineLimit);
    if (!length) return false;

    const std::optional<std::string_view> target =
        ShortcutTarget(std::string_view(buffer.get(), *length));
    if (!target) return false;
    if (shortcutCount < INT32_MAX) ++shortcutCount;

    links += "<li><A HREF=\"";
    AppendEscaped(links, *target);
    links += "\">";
    AppendEscaped(links, LinkText(entry.name));
    links += "</A>\n\n";
    return true;
}

}  // namespace favpage
