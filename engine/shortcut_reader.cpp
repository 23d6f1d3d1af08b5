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

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 0x20);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 0x20);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> ParseShortcut(std::string_view text) {
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
            inSection = EqualsIgnoringCase(name, "InternetShortcut");
            continue;
        }
        if (!inSection) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!EqualsIgnoringCase(Trim(line.substr(0, eq)), "URL")) continue;
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);  // the first URL key wins
    }
    if (inSection) return std::string();
    return std::nullopt;
}

std::string_view LinkText(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

void WriteShortcut(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                   const DirEntry& entry) {
    // A plain folder cannot be a shortcut; a hidden or system one is tried and fails to open.
    if (entry.attributes == kAttrDirectory) return;

    // The entry was looked up a moment ago; its size bounds the read, as text mode delivers no
    // more characters than there are bytes.
    auto file = TextFile::OpenLookedUp(folder + "\\" + entry.name, entry.size);
    if (!file) return;
    // One buffer serves every file of the run: the walk reads one file at a time.
    static const std::unique_ptr<char[]> buffer(new char[kShortcutExamineLimit]);
    const size_t length = file->Read(buffer.get(), kShortcutExamineLimit);
    file->Close();

    const std::optional<std::string> target = ParseShortcut(std::string_view(buffer.get(), length));
    if (!target) return;
    if (shortcutCount < INT32_MAX) ++shortcutCount;

    std::string line;
    line.reserve(target->size() + entry.name.size() + 32);
    line += "<li><A HREF=\"";
    AppendEscaped(line, *target);
    line += "\">";
    AppendEscaped(line, LinkText(entry.name));
    line += "</A>\n\n";
    out.Write(line);
}

}  // namespace favpage
