// fuzz/fuzz_support.cpp: the scratch folder and file helpers of the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace favpage::fuzz {

void Fail(const char* file, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n%s\n", file, line, what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

namespace {
std::string g_scratch;
void RemoveScratch() {
    std::error_code ec;
    if (!g_scratch.empty()) std::filesystem::remove_all(g_scratch, ec);
}
}  // namespace

const std::string& ScratchFolder() {
    if (g_scratch.empty()) {
        std::error_code ec;
        const std::string base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::string("/dev/shm")
                                     : std::filesystem::temp_directory_path().string();
        std::string templ = base + "/favpage-fuzz-XXXXXX";
        if (!mkdtemp(templ.data())) Fail(__FILE__, __LINE__, "mkdtemp", templ);
        g_scratch = templ;
        std::atexit(RemoveScratch);
    }
    return g_scratch;
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) Fail(__FILE__, __LINE__, "write", path);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string Printable(std::string_view bytes, size_t limit) {
    std::string out;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (bytes.size() > limit) out += "...";
    return out;
}

}  // namespace favpage::fuzz
