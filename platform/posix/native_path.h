// platform/posix/native_path.h: what POSIX names mean in the attribute model.
#pragma once
#include <string>

namespace favpage::posix {

// Hidden in our attribute model: a name starting with '.', other than "." and "..".
inline bool IsHiddenName(const char* name) {
    return name[0] == '.' && name[1] != 0 && !(name[1] == '.' && name[2] == 0);
}
inline bool IsHiddenName(const std::string& name) { return IsHiddenName(name.c_str()); }

}  // namespace favpage::posix
