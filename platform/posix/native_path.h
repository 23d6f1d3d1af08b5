// platform/posix/native_path.h: the engine's '\' paths as POSIX paths.
#pragma once
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

// Hidden in our attribute model: a name starting with '.', other than "." and "..".
inline bool IsHiddenName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

}  // namespace favpage::posix
