// platform/message_format.cpp: "%s"/"%i" formatting that reads only its format.
#include "platform/message_format.h"

namespace favpage {

std::string FormatMessageText(std::string_view format, std::initializer_list<MessageArg> args) {
    std::string out;
    out.reserve(format.size() + 64);
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const char conv = format[i + 1];
        if (conv == '%') {
            out += '%';
            ++i;
        } else if (conv == 's' || conv == 'i') {
            ++i;
            // A missing argument inserts nothing rather than reading past the list.
            if (next == args.end()) continue;
            const MessageArg& a = *next++;
            // The argument's own kind decides how it is shown: text unchanged, numbers in decimal.
            if (a.isNumber()) {
                out += std::to_string(a.number());
            } else {
                out += a.text();
            }
        } else {
            out += c;  // any other '%' stands for itself
        }
    }
    return out;
}

}  // namespace favpage
