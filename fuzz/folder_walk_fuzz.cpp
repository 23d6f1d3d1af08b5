// fuzz/folder_walk_fuzz.cpp: a whole conversion run over a small folder tree built from the
// input: folders, shortcut and other files, links back up the tree, to files and to nowhere,
// with names drawn from awkward bytes. The run must end Done, count each shortcut file and each
// link to one exactly once, and write a well-formed page. Names holding '\' cannot be addressed
// by the program's paths: they and all below them are passed over.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "engine/conversion_run.h"
#include "fuzz/fuzz_support.h"

using namespace favpage;
using namespace favpage::fuzz;

namespace {

class Host : public ConversionHost {
public:
    void ShowStatus(const std::string& text) override { last = text; }
    bool ConfirmOverwrite() override { return true; }
    LocalTime ReadClock() override { return LocalTime{}; }
    std::string last;
};

// Reads the input a byte at a time; 0 once it is used up.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool More() const { return m_at < m_size; }
    uint8_t Next() { return m_at < m_size ? m_data[m_at++] : 0; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// Bytes a name may hold here: letters of both cases, blanks, markup, wildcards, the other
// separator, dots and bytes above 0x7F.
const char kAlphabet[] = "aZm0 9&<>\"%_-.'*?\\#~;=[]\x80\xE9\xFF";

std::string Name(Bytes& in) {
    const size_t length = 1 + in.Next() % 10;
    std::string name;
    for (size_t i = 0; i < length; ++i) name += kAlphabet[in.Next() % (sizeof kAlphabet - 1)];
    return name;
}

// A link target: printable bytes and markup, no line end.
std::string Target(Bytes& in) {
    const size_t length = in.Next() % 24;
    std::string t;
    for (size_t i = 0; i < length; ++i) t += static_cast<char>(0x20 + in.Next() % 0x5F);
    return t;
}

// The forms a file takes; true when it is a shortcut.
bool FileText(Bytes& in, std::string& text) {
    const std::string url = Target(in);
    switch (in.Next() % 8) {
        case 0: text = "[InternetShortcut]\r\nURL=" + url + "\r\n"; return true;
        case 1: text = "[DEFAULT]\nBASEURL=" + url + "\n[InternetShortcut]\nURL=" + url + "\n"; return true;
        case 2: text = "\xEF\xBB\xBF[internetshortcut]\r\nIconIndex=0\r\n"; return true;
        case 3: text = "[InternetShortcut]\r\nURL=\"" + url + "\"\x1A[Other]\r\n"; return true;
        case 4: text = "[Other]\r\nURL=" + url + "\r\n"; return false;
        case 5: text = "\x1A[InternetShortcut]\r\nURL=" + url + "\r\n"; return false;
        case 6: text = ""; return false;
        default: text = url; return false;
    }
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Every quoted value that follows `lead` in the page.
std::vector<std::string> Values(const std::string& page, const std::string& lead) {
    std::vector<std::string> values;
    for (size_t at = page.find(lead); at != std::string::npos; at = page.find(lead, at + 1)) {
        const size_t start = at + lead.size();
        values.push_back(page.substr(start, page.find('"', start) - start));
    }
    return values;
}

void CheckPage(const std::string& page, int32_t shortcuts, const std::string& context) {
    FUZZ_CHECK(page.rfind("<html>\r\n", 0) == 0, "page head" + context);
    const std::string tail = "</body>\r\n</html>\r\n";
    FUZZ_CHECK(page.size() > tail.size() && page.compare(page.size() - tail.size(), tail.size(), tail) == 0,
               "page tail" + context);
    // Lists open and close in order.
    long depth = 0;
    for (size_t at = page.find("ul>"); at != std::string::npos; at = page.find("ul>", at + 1)) {
        FUZZ_CHECK(at >= 1, "ul" + context);
        if (page[at - 1] == '<') {
            ++depth;
        } else if (page[at - 1] == '/' && at >= 2 && page[at - 2] == '<') {
            FUZZ_CHECK(--depth >= 0, "</ul> before its <ul>" + context);
        }
    }
    FUZZ_CHECK(depth == 0, "unbalanced <ul>" + context);
    // Every folder link has exactly one anchor and every anchor one link.
    std::map<std::string, int> anchors;
    for (const std::string& n : Values(page, "<A NAME=\"")) ++anchors[n];
    // A shortcut's line ends in an empty line, a folder link's does not (a shortcut may well
    // link to "#something" itself).
    std::map<std::string, int> links;
    size_t shortcutLinks = 0;
    const std::string lead = "<li><A HREF=\"";
    for (size_t at = page.find(lead); at != std::string::npos; at = page.find(lead, at + 1)) {
        const size_t start = at + lead.size();
        const std::string target = page.substr(start, page.find('"', start) - start);
        const size_t end = page.find("</A>\r\n", start);
        FUZZ_CHECK(end != std::string::npos, "link without its end" + context);
        if (page.compare(end + 6, 2, "\r\n") == 0) {
            ++shortcutLinks;
        } else {
            FUZZ_CHECK(!target.empty() && target[0] == '#', "folder link " + target + context);
            ++links[target.substr(1)];
        }
    }
    for (const auto& [name, n] : links) {
        FUZZ_CHECK(n == 1 && anchors.count(name) && anchors[name] == 1, "link #" + name + context);
    }
    FUZZ_CHECK(anchors.size() == links.size(), "anchors without links" + context);
    FUZZ_CHECK(shortcutLinks == static_cast<size_t>(shortcuts), "shortcut links" + context);
    // Names and targets cannot add markup: every "<A " is one of the above.
    FUZZ_CHECK(Count(page, "<A ") == Count(page, "<A NAME=\"") + Count(page, "<A HREF=\""),
               "markup from a name" + context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string scratch = ScratchFolder();
    const std::string root = scratch + "/tree";
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    if (mkdir(root.c_str(), 0755) != 0) Fail(__FILE__, __LINE__, "mkdir", root);

    Bytes in(data, size);
    std::vector<std::string> path{root};  // the folders from the root down to the current one
    std::vector<bool> reachable{true};    // whether each of them is walked
    int32_t expected = 0;
    std::vector<std::pair<std::string, bool>> files;  // every file made, and whether a shortcut
    std::string made;  // what was built, for the message of a failed check
    while (in.More()) {
        const uint8_t op = in.Next() % 8;
        const std::string& here = path.back();
        if (op <= 1) {
            const std::string name = Name(in);
            if (path.size() < 7 && mkdir((here + "/" + name).c_str(), 0755) == 0) {
                reachable.push_back(reachable.back());
                path.push_back(here + "/" + name);
                made += "dir " + Printable(path.back().substr(root.size())) + "\n";
            }
        } else if (op == 2) {
            if (path.size() > 1) {
                path.pop_back();
                reachable.pop_back();
            }
        } else if (op <= 5) {
            const std::string name = Name(in);
            std::string text;
            const bool shortcut = op == 5 ? false : FileText(in, text);
            if (op == 5) text = "no shortcut\r\n";
            const int fd = open((here + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd >= 0) {
                const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                close(fd);
                if (!ok) Fail(__FILE__, __LINE__, "write", name);
                if (shortcut && reachable.back()) ++expected;
                files.emplace_back(here + "/" + name, shortcut);
                made += std::string(shortcut ? "url " : "file ") + Printable((here + "/" + name).substr(root.size())) + "\n";
            }
        } else if (op == 6) {
            const std::string name = Name(in);
            const std::string at = here + "/" + name;
            const uint8_t kind = in.Next() % 4;
            std::string target;
            bool counts = false;
            if (kind <= 1) {
                // To the current folder or one above it: a loop.
                target = ".";
                for (uint8_t n = in.Next() % path.size(); n > 0; --n) target += "/..";
            } else if (kind == 2 && !files.empty()) {
                // To a file made before: read like the file itself, wherever that is.
                const auto& [file, shortcut] = files[in.Next() % files.size()];
                target = file;
                counts = shortcut && reachable.back();
            } else {
                target = "nowhere";  // dangling: listed, but nothing to look up
            }
            if (symlink(target.c_str(), at.c_str()) == 0) {
                if (counts) ++expected;
                made += "link " + Printable(at.substr(root.size())) + " -> " +
                        Printable(target.compare(0, root.size(), root) == 0 ? target.substr(root.size()) : target) + "\n";
            }
        } else {
            // A shortcut whose name ends in the usual extension.
            const std::string name = Name(in) + ".url";
            std::string text = "[InternetShortcut]\r\nURL=" + Target(in) + "\r\n";
            const int fd = open((here + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd >= 0) {
                const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                close(fd);
                if (!ok) Fail(__FILE__, __LINE__, "write", name);
                if (reachable.back()) ++expected;
                files.emplace_back(here + "/" + name, true);
                made += "url " + Printable((here + "/" + name).substr(root.size())) + "\n";
            }
        }
    }

    const std::string folder = root;
    const std::string output = scratch + "/page.htm";
    Host host;
    int32_t count = -1;
    const ConversionResult r = RunConversion(folder, output, host, count);
    const std::string context = "\ntree:\n" + made.substr(0, 4000);
    FUZZ_CHECK(r == ConversionResult::Done, "result " + host.last + context);
    FUZZ_CHECK(count == expected, "found " + std::to_string(count) + ", made " +
                                      std::to_string(expected) + context);
    FUZZ_CHECK(host.last == "Done.  Searched " + folder + "\n and found " + std::to_string(count) +
                                " Shortcut files.",
               "status " + host.last);
    CheckPage(ReadWholeFile(scratch + "/page.htm"), count, context);
    std::filesystem::remove_all(root, ec);
    return 0;
}
