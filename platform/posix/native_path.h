// platform/posix/native_path.h: the engine's '\' paths as POSIX paths.
#pragma once
#include <cstddef>
#include <cstring>
#include <string>

namespace favpage::posix {

// Every '\' becomes '/': the engine joins names with '\' on every platform.
inline std::string NativePath(const std::string& path) {
    std::string p = path;
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

// The same conversion into a buffer on the stack, for the calls made once per file: the folder
// walk would otherwise allocate twice for every file it reads. Longer paths fall back to the heap.
class NativePathText {
public:
    explicit NativePathText(const std::string& path) : m_length(path.size()) {
        char* out = m_small;
        if (m_length < sizeof m_small) {
            std::memcpy(m_small, path.c_str(), m_length + 1);
        } else {
            m_large = path;
            out = &m_large[0];
        }
        char* const end = out + m_length;
        for (char* p = out; p != end; ++p) {
            p = static_cast<char*>(std::memchr(p, '\\', static_cast<size_t>(end - p)));
            if (!p) break;
            *p = '/';
        }
        m_text = out;
    }
    NativePathText(const NativePathText&) = delete;
    NativePathText& operator=(const NativePathText&) = delete;

    const char* c_str() const { return m_text; }
    size_t size() const { return m_length; }

private:
    size_t m_length;
    const char* m_text;
    char m_small[1024];
    std::string m_large;
};

// Hidden in our attribute model: a name starting with '.', other than "." and "..".
inline bool IsHiddenName(const char* name) {
    return name[0] == '.' && name[1] != 0 && !(name[1] == '.' && name[2] == 0);
}
inline bool IsHiddenName(const std::string& name) { return IsHiddenName(name.c_str()); }

}  // namespace favpage::posix
