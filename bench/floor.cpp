// bench/floor.cpp: the least work a conversion can do, to measure favpage-convert against.
// usage: bench_floor FOLDER OUTPUT
// Per folder: the folder opened once, two directory listings, the names sorted without regard to
// letter case. Per file: one lookup (fstatat) and one open (openat) relative to the folder's
// descriptor, one read, one close; the URL line found, the address and the name escaped for HTML.
// One buffered output stream, flushed to the disk at the end. No parsing beyond finding the URL
// line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

char g_buffer[64 * 1024];
std::string g_line;

// Appends the runs between the four characters HTML needs escaped in one piece each.
void AppendEscaped(std::string& out, const char* text, size_t length) {
    static const auto special = [] {
        std::vector<bool> s(256, false);
        for (unsigned char c : {'&', '<', '>', '"'}) s[c] = true;
        return s;
    }();
    const char* run = text;
    const char* const end = text + length;
    for (const char* p = text; p != end; ++p) {
        if (!special[static_cast<unsigned char>(*p)]) continue;
        out.append(run, static_cast<size_t>(p - run));
        out += *p == '&' ? "&amp;" : *p == '<' ? "&lt;" : *p == '>' ? "&gt;" : "&quot;";
        run = p + 1;
    }
    out.append(run, static_cast<size_t>(end - run));
}

// The names of one listing of the folder open as `fd`: folders or everything else.
std::vector<std::string> List(int fd, bool folders) {
    std::vector<std::string> names;
    const int copy = dup(fd);
    DIR* d = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!d) return names;
    rewinddir(d);
    while (const dirent* e = readdir(d)) {
        if ((e->d_type == DT_DIR) != folders) continue;
        if (folders && (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, ".."))) continue;
        names.emplace_back(e->d_name);
    }
    closedir(d);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

void Walk(const std::string& folder, FILE* out) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const std::vector<std::string> subs = List(fd, true);
    const std::vector<std::string> files = List(fd, false);
    g_line.assign("<p>");
    AppendEscaped(g_line, folder.data(), folder.size());
    g_line += ":\r\n<ul>\r\n";
    std::fwrite(g_line.data(), 1, g_line.size(), out);
    for (const std::string& name : files) {
        struct stat st;
        if (fstatat(fd, name.c_str(), &st, 0) != 0) continue;
        const int file = openat(fd, name.c_str(), O_RDONLY | O_CLOEXEC);
        if (file < 0) continue;
        const ssize_t n = read(file, g_buffer, sizeof g_buffer);
        close(file);
        if (n <= 0) continue;
        const char* url = static_cast<const char*>(memmem(g_buffer, static_cast<size_t>(n), "URL=", 4));
        if (!url) continue;
        url += 4;
        const char* end = static_cast<const char*>(
            std::memchr(url, '\r', static_cast<size_t>(g_buffer + n - url)));
        if (!end) end = g_buffer + n;
        g_line.assign("<li><A HREF=\"");
        AppendEscaped(g_line, url, static_cast<size_t>(end - url));
        g_line += "\">";
        const size_t dot = name.rfind('.');
        AppendEscaped(g_line, name.data(), dot == std::string::npos ? name.size() : dot);
        g_line += "</A>\r\n\r\n";
        std::fwrite(g_line.data(), 1, g_line.size(), out);
    }
    std::fputs("</ul>\r\n", out);
    close(fd);
    for (const std::string& s : subs) Walk(folder + "/" + s, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) return 1;
    static char outBuffer[256 * 1024];
    std::setvbuf(out, outBuffer, _IOFBF, sizeof outBuffer);
    Walk(argv[1], out);
    // The page must be on the disk before a run may say it is done.
    const bool flushed = std::fflush(out) == 0 && fsync(fileno(out)) == 0;
    return std::fclose(out) == 0 && flushed ? 0 : 1;
}
