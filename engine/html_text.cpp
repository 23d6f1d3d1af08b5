// engine/html_text.cpp: escaping and anchor names.
#include "engine/html_text.h"

namespace favpage {

void AppendEscaped(std::string& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* ref = nullptr;
        switch (text[i]) {
            case '&': ref = "&amp;"; break;
            case '<': ref = "&lt;"; break;
            case '>': ref = "&gt;"; break;
            case '"': ref = "&quot;"; break;
            default: continue;
        }
        out.append(text.data() + start, i - start);
        out += ref;
        start = i + 1;
    }
    out.append(text.data() + start, text.size() - start);
}

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

std::string AnchorName(std::string_view path) {
    std::string anchor(path);
    for (char& c : anchor) {
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum) c = '_';
    }
    return anchor;
}

}  // namespace favpage
