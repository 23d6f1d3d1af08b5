// platform/dir_search.cpp: the attribute admission rule, shared by every backend.
#include "platform/dir_search.h"

namespace favpage {

bool Admits(uint32_t mask, uint32_t attrs) {
    constexpr uint32_t kSpecial = kAttrHidden | kAttrSystem | kAttrDirectory;
    if ((attrs & kAttrVolumeLabel) && (mask & kAttrVolumeLabel)) return true;
    if ((attrs & kSpecial) == 0) return true;
    return (attrs & mask & kSpecial) != 0;
}

}  // namespace favpage
