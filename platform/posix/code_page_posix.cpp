// platform/posix/code_page_posix.cpp: names are bytes, shown as they are.
#include "platform/code_page.h"

namespace favpage {

std::string NameFromCodePage(std::string_view text) { return std::string(text); }

bool ToCodePage(std::string_view name, std::string& text, std::vector<Unfit>& unfit) {
    text.assign(name.data(), name.size());
    unfit.clear();
    return true;
}

}  // namespace favpage
