// engine/page_encoding.cpp: the page's encoding of names and addresses, per platform.
#include "engine/page_encoding.h"

#include "text/cp1252.h"
#include "text/path.h"
#include "text/utf8.h"

namespace favpage {

namespace {

// The storage of one function's converted text; one walk converts on one thread.
struct Converted {
    std::string name;  // the name an address stands for, on its way to `text`
    std::string text;
    std::vector<Unfit> unfit;
};

const std::vector<Unfit> kAllFit;

}  // namespace

#ifdef _WIN32

namespace {

EncodedName InCodePage(std::string_view name, Converted& c) {
    if (IsAscii(name)) return EncodedName{name, kAllFit};
    ToCodePage(name, c.text, c.unfit);
    return EncodedName{c.text, c.unfit};
}

}  // namespace

EncodedName NameInPage(std::string_view name) {
    thread_local Converted c;
    return InCodePage(name, c);
}

EncodedName AddressInPage(std::string_view address) {
    thread_local Converted c;
    if (IsAscii(address)) return EncodedName{address, kAllFit};
    c.name = NameFromCodePage(address);
    return InCodePage(c.name, c);
}

EncodedName CodePageTextOf(std::string_view name) {
    thread_local Converted c;
    return InCodePage(name, c);
}

std::string NameAsUtf8(std::string_view name) {
    std::string out;
    AppendUtf8Replacing(out, name);
    return out;
}

std::string AddressAsUtf8(std::string_view address) { return NameFromCodePage(address); }

bool PageTakesUtf8Addresses() {
    static const bool utf8 = NameFromCodePage("\xC3\xA9") == "\xC3\xA9";
    return utf8;
}

#else

EncodedName NameInPage(std::string_view name) {
    if (IsUtf8(name)) return EncodedName{name, kAllFit};
    thread_local Converted c;
    c.text.clear();
    for (size_t from = 0;;) {
        const size_t separator = name.find(kPathSeparator, from);
        const std::string_view part = name.substr(from, separator - from);
        if (IsUtf8(part)) {
            c.text.append(part.data(), part.size());
        } else {
            AppendFromCp1252(c.text, part);
        }
        if (separator == std::string_view::npos) break;
        c.text += kPathSeparator;
        from = separator + 1;
    }
    return EncodedName{c.text, kAllFit};
}

EncodedName AddressInPage(std::string_view address) {
    if (IsUtf8(address)) return EncodedName{address, kAllFit};
    thread_local Converted c;
    c.text.clear();
    AppendFromCp1252(c.text, address);
    return EncodedName{c.text, kAllFit};
}

EncodedName CodePageTextOf(std::string_view name) { return EncodedName{name, kAllFit}; }

std::string NameAsUtf8(std::string_view name) { return FromCp1252(name); }

std::string AddressAsUtf8(std::string_view address) { return FromCp1252(address); }

bool PageTakesUtf8Addresses() { return true; }

#endif

}  // namespace favpage
