// fuzz/shortcut_fuzz.cpp: a file's bytes through the shortcut reader, checked against a plain
// restatement of how shortcut text is read, down to the bytes of the link line.
#include <string>
#include <vector>

#include "engine/shortcut_reader.h"
#include "fuzz/fuzz_support.h"
#include "platform/dir_search.h"
#include "platform/text_file.h"

using namespace favpage;
using namespace favpage::fuzz;

namespace {

const char kName[] = "R&D <x> \"q\".url";
const char kLinkText[] = "R&amp;D &lt;x&gt; &quot;q&quot;";

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// What text mode delivers of the file, up to the examine limit.
std::string TextOf(const std::string& raw) {
    std::string text;
    for (char c : raw) {
        if (c == '\x1A' || text.size() == kShortcutExamineLimit) break;
        if (c != '\r') text += c;
    }
    return text;
}

// The link target: the first URL key of the [InternetShortcut] section (empty when it has
// none), or no target when the file has no such section.
bool ReferenceTarget(std::string text, std::string& target) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
        lines.push_back(text.substr(start, lf - start));
    }
    lines.push_back(text.substr(start));

    bool in = false;
    for (const std::string& raw : lines) {
        const std::string line = Trimmed(raw.substr(0, raw.find('\0')));
        if (!line.empty() && line[0] == '[') {
            if (in) break;
            std::string name = line.substr(1);
            name = Trimmed(name.substr(0, name.find(']')));
            in = Lower(name) == "internetshortcut";
            continue;
        }
        const size_t eq = line.find('=');
        if (!in || eq == std::string::npos) continue;
        if (Lower(Trimmed(line.substr(0, eq))) != "url") continue;
        std::string value = Trimmed(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        target = value;
        return true;
    }
    target.clear();
    return in;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string folder = ScratchFolder();
    WriteWholeFile(folder + "/" + kName, raw);

    const auto entry = FindEntry(EnginePath(folder + "/" + kName), kFileMask);
    FUZZ_CHECK(entry, "lookup failed");
    FUZZ_CHECK(entry->size == size, "size");
    int32_t count = 0;
    {
        auto page = TextFile::Open(EnginePath(folder + "/page.htm"), "wt");
        FUZZ_CHECK(page, "page open");
        WriteShortcut(count, EnginePath(folder), *page, *entry);
        FUZZ_CHECK(page->Close(), "page close");
    }
    const std::string page = ReadWholeFile(folder + "/page.htm");

    std::string target;
    const bool isShortcut = ReferenceTarget(TextOf(raw), target);
    FUZZ_CHECK(count == (isShortcut ? 1 : 0), "count " + std::to_string(count) + " for " + Printable(raw));
    const std::string expected = isShortcut ? "<li><A HREF=\"" + Escape(target) + "\">" +
                                                  kLinkText + "</A>\r\n\r\n"
                                            : "";
    FUZZ_CHECK(page == expected, "page " + Printable(page) + "\nexpected " + Printable(expected) +
                                     "\nfor " + Printable(raw));
    // The parser alone agrees with what reached the page.
    const auto parsed = ParseShortcut(TextOf(raw));
    FUZZ_CHECK(parsed.has_value() == isShortcut && (!parsed || *parsed == target), "ParseShortcut");
    return 0;
}
