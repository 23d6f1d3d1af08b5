// bench/make_tree.cpp: writes a deterministic folder tree of Internet Shortcut files.
// usage: bench_make_tree ROOT SHORTCUTS FOLDERS
// The folders form two levels (a row of top folders, each with its own sub-folders); shortcuts
// are spread evenly and alternate between the classic two-line form and the modern form that
// browsers write, with other sections around the [InternetShortcut] one.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

unsigned g_seed = 20261208;
unsigned Next() {
    g_seed = g_seed * 1103515245u + 12345u;
    return (g_seed >> 8) & 0xFFFFFF;
}

const char* const kWords[] = {"News", "Linux", "Recipes", "weather", "Travel", "music", "Code",
                              "Docs", "Shop", "forum", "Maps", "Bank", "Mail", "photos",
                              "Sport", "Games", "Wiki", "blog", "Tools", "Video"};

std::string Word() { return kWords[Next() % 20]; }

bool WriteFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

std::string Shortcut(unsigned i) {
    const std::string url = "https://www." + Word() + std::to_string(Next() % 1000) +
                            ".example.com/" + Word() + "/page" + std::to_string(i) + ".html";
    if (i % 2 == 0) return "[InternetShortcut]\r\nURL=" + url + "\r\n";
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url +
           "\r\nIDList=\r\nIconFile=https://www.example.com/favicon.ico\r\nIconIndex=1\r\n"
           "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,11\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_make_tree ROOT SHORTCUTS FOLDERS\n");
        return 2;
    }
    const std::string root = argv[1];
    const unsigned shortcuts = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    const unsigned folders = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    if (mkdir(root.c_str(), 0755) != 0) {
        std::perror(root.c_str());
        return 1;
    }
    // Folder 0 is the root; then top folders of up to `per` folders each (itself and its subs).
    std::vector<std::string> paths{root};
    unsigned per = 1;
    while (per * per < folders) ++per;
    for (unsigned top = 0; paths.size() < folders; ++top) {
        const std::string t = root + "/" + Word() + " " + std::to_string(top);
        mkdir(t.c_str(), 0755);
        paths.push_back(t);
        for (unsigned s = 1; s < per && paths.size() < folders; ++s) {
            const std::string p = t + "/" + Word() + " " + std::to_string(s);
            mkdir(p.c_str(), 0755);
            paths.push_back(p);
        }
    }
    for (unsigned i = 0; i < shortcuts; ++i) {
        const std::string& folder = paths[i % paths.size()];
        const std::string name = Word() + " " + Word() + " " + std::to_string(i) + ".url";
        if (!WriteFile(folder + "/" + name, Shortcut(i))) {
            std::perror(name.c_str());
            return 1;
        }
    }
    return 0;
}
