// platform/posix/code_page_posix.cpp: names are bytes, and the page is UTF-8.
#include "platform/code_page.h"

namespace favpage {

std::string NameFromCodePage(std::string_view text) { return std::string(text); }

std::string CodePageTextOrQuestionMarks(std::string_view name) { return std::string(name); }

bool ToCodePage(std::string_view name, std::string& text, std::vector<Unfit>& unfit) {
    text.assign(name.data(), name.size());
    unfit.clear();
    return true;
}

std::string_view PageEncodingLabel() { return "utf-8"; }

}  // namespace favpage
