// bench/floor.cpp: the least work a conversion can do, to measure favpage-convert against.
// usage: bench_floor FOLDER OUTPUT
// Per folder two directory listings; per file one lookup (stat), open, read, close; one
// buffered line of output per file. No sorting, no parsing beyond finding the URL line.
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

char g_buffer[64 * 1024];

void Walk(const std::string& folder, FILE* out) {
    std::vector<std::string> subs;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d)) {
            if (e->d_type == DT_DIR && std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) {
                subs.push_back(folder + "/" + e->d_name);
            }
        }
        closedir(d);
    }
    std::vector<std::string> files;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d)) {
            if (e->d_type != DT_DIR) files.push_back(e->d_name);
        }
        closedir(d);
    }
    std::fprintf(out, "<p>%s\n<ul>\n", folder.c_str());
    for (const std::string& name : files) {
        const std::string path = folder + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0) continue;
        const ssize_t n = read(fd, g_buffer, sizeof g_buffer);
        close(fd);
        if (n <= 0) continue;
        const char* url = static_cast<const char*>(memmem(g_buffer, static_cast<size_t>(n), "URL=", 4));
        if (!url) continue;
        const char* end = static_cast<const char*>(
            std::memchr(url, '\r', static_cast<size_t>(g_buffer + n - url)));
        const int len = static_cast<int>((end ? end : g_buffer + n) - url - 4);
        std::fprintf(out, "<li><A HREF=\"%.*s\">%s</A>\r\n\r\n", len, url + 4, name.c_str());
    }
    std::fputs("</ul>\n", out);
    for (const std::string& s : subs) Walk(s, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) return 1;
    static char outBuffer[256 * 1024];
    std::setvbuf(out, outBuffer, _IOFBF, sizeof outBuffer);
    Walk(argv[1], out);
    return std::fclose(out) == 0 ? 0 : 1;
}
