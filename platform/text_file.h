// platform/text_file.h: text-mode files with the same bytes on every platform.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace favpage {

// Reading ("r"): every CR is dropped, the first Ctrl-Z ends the file for good.
// Writing ("wt"): every LF is stored as CR LF, every other byte unchanged.
// The translation is our own over binary I/O, so the page's bytes never depend on the C library.
class TextFile {
public:
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `path` ('\' separators) with mode "r" or "wt". Opening a directory fails.
    static std::unique_ptr<TextFile> Open(const std::string& path, const char* mode);

    // Delivers at most `count` characters after translation; fewer only at the end of the file
    // (or after a read error). Returns the number delivered.
    size_t Read(char* buffer, size_t count);

    // Writes `text` translated. Errors are remembered and reported by Close().
    void Write(const std::string& text);
    void Write(const char* text, size_t length);

    // Flushes and closes. True when every byte written reached the file.
    bool Close();

    struct Impl;
    explicit TextFile(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace favpage
