// platform/dir_search.cpp: the attribute admission rule and path joining, shared by every backend.
#include "platform/dir_search.h"

namespace favpage {

bool Admits(uint32_t mask, uint32_t attrs) {
    constexpr uint32_t kSpecial = kAttrHidden | kAttrSystem | kAttrDirectory;
    if ((attrs & kAttrVolumeLabel) && (mask & kAttrVolumeLabel)) return true;
    if ((attrs & kSpecial) == 0) return true;
    return (attrs & mask & kSpecial) != 0;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    size_t end = folder.size();
    while (end > 0 && IsPathSeparator(folder[end - 1])) --end;
    std::string path;
    path.reserve(end + 1 + name.size());
    path.append(folder.data(), end);
    path += kPathSeparator;
    path.append(name.data(), name.size());
    return path;
}

std::string_view PathAsMeant(std::string_view given) {
    if (kPathSeparator == '\\' && given.size() >= 2 && given.front() == '"' && given.back() == '"') {
        given = given.substr(1, given.size() - 2);
    }
    return given;
}

}  // namespace favpage
