// fuzz/shortcut_fuzz.cpp: a file's bytes through the shortcut reader, checked against a plain
// restatement of how shortcut text is read, down to the bytes of the link line.
#include <iconv.h>

#include <string>
#include <vector>

#include "engine/shortcut_reader.h"
#include "fuzz/fuzz_support.h"
#include "platform/dir_search.h"
#include "platform/text_file.h"

using namespace favpage;
using namespace favpage::fuzz;

namespace {

const char kName[] = "R&D <x> \"q\".url";
const char kLinkText[] = "R&amp;D &lt;x&gt; &quot;q&quot;";

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// What text mode delivers of the file, up to the examine limit.
std::string TextOf(const std::string& raw) {
    std::string text;
    for (char c : raw) {
        if (c == '\x1A' || text.size() == kShortcutExamineLimit) break;
        if (c != '\r') text += c;
    }
    return text;
}

// Percent-encoded UTF-8, straight from the code points: every character but printable ASCII.
std::string PercentEncoded(const std::u32string& chars) {
    std::string out;
    for (char32_t c : chars) {
        const int n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (n == 1 && c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
            continue;
        }
        static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        for (int k = 0; k < n; ++k) {
            const unsigned byte = k == 0 ? lead[n] | (c >> (6 * (n - 1)))
                                         : 0x80 | ((c >> (6 * (n - 1 - k))) & 0x3F);
            out += '%';
            out += "0123456789ABCDEF"[byte >> 4];
            out += "0123456789ABCDEF"[byte & 0xF];
        }
    }
    return out;
}

// UTF-8 of code points, the long way.
std::string Utf8Of(const std::u32string& chars) {
    std::string out;
    for (char32_t c : chars) {
        const int n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        for (int k = 0; k < n; ++k) {
            out += static_cast<char>(k == 0 ? lead[n] | (c >> (6 * (n - 1)))
                                            : 0x80 | ((c >> (6 * (n - 1 - k))) & 0x3F));
        }
    }
    return out;
}

// A file that begins with a UTF-16 byte-order mark: the code points of its first 64 KiB of
// bytes after the mark, each surrogate pair one, any other surrogate U+FFFD; then text mode's
// rules on the characters. Nothing for any other file.
bool Utf16Reference(const std::string& raw, std::string& text) {
    if (raw.size() < 2) return false;
    const bool le = raw.compare(0, 2, "\xFF\xFE") == 0;
    const bool be = raw.compare(0, 2, "\xFE\xFF") == 0;
    if (!le && !be) return false;
    const std::string bytes = raw.substr(0, kShortcutExamineLimit);
    std::vector<char32_t> units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned a = static_cast<unsigned char>(bytes[i]);
        const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(le ? a | (b << 8) : (a << 8) | b);
    }
    std::u32string chars;
    for (size_t k = 0; k < units.size(); ++k) {
        const char32_t u = units[k];
        const bool high = u >= 0xD800 && u < 0xDC00;
        if (high && k + 1 < units.size() && units[k + 1] >= 0xDC00 && units[k + 1] < 0xE000) {
            chars += 0x10000 + ((u - 0xD800) << 10) + (units[k + 1] - 0xDC00);
            ++k;
        } else if (u >= 0xD800 && u < 0xE000) {
            chars += 0xFFFD;
        } else {
            chars += u;
        }
    }
    std::u32string kept;
    for (char32_t c : chars) {
        if (c == 0x1A) break;
        if (c != '\r') kept += c;
    }
    text = Utf8Of(kept);
    return true;
}

// Converts with the C library, all or nothing.
bool Iconv(const char* to, const char* from, const std::string& in, std::string& out) {
    const iconv_t cd = iconv_open(to, from);
    FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1), std::string("iconv ") + from);
    std::string buffer(in.size() * 4 + 4, '\0');
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    char* op = &buffer[0];
    size_t ol = buffer.size();
    const size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || il != 0) return false;
    out.assign(buffer.data(), buffer.size() - ol);
    return true;
}

// True for UTF-8 by RFC 3629, the long way: each sequence decoded by its lead byte's count of
// ones, then refused when overlong, a surrogate or past U+10FFFF.
bool ValidUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        int n = 0;
        while (n < 8 && (lead & (0x80 >> n))) ++n;
        if (n == 0) {
            ++i;
            continue;
        }
        if (n == 1 || n > 4 || i + n > s.size()) return false;
        uint32_t c = lead & (0xFF >> (n + 1));
        for (int k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            c = (c << 6) | (b & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
        i += n;
    }
    return true;
}

// An address as a UTF-8 page shows it: as it is when it is UTF-8, otherwise read as code page
// 1252, whose five undefined bytes Windows reads as the control characters of their value.
std::string Shown(const std::string& address) {
    if (ValidUtf8(address)) return address;
    std::string out;
    for (const char c : address) {
        const auto b = static_cast<unsigned char>(c);
        std::string one;
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            one = {'\xC2', c};
        } else {
            FUZZ_CHECK(Iconv("UTF-8", "CP1252", std::string(1, c), one), "cp1252");
        }
        out += one;
    }
    return out;
}

// UTF-7 to UTF-8 the long way: the run's base64 characters as a string of bits, cut into
// 16-bit units. Nothing when the text does not decode cleanly.
bool ReferenceUtf7(const std::string& in, std::string& out) {
    const std::string b64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::u32string chars;
    for (size_t i = 0; i < in.size();) {
        const unsigned char c = static_cast<unsigned char>(in[i++]);
        if (c == 0 || c > 0x7F) return false;
        if (c != '+') {
            chars += c;
            continue;
        }
        std::string bits;
        for (; i < in.size() && b64.find(in[i]) != std::string::npos; ++i) {
            const size_t v = b64.find(in[i]);
            for (int b = 5; b >= 0; --b) bits += (v >> b) & 1 ? '1' : '0';
        }
        if (bits.empty() && i < in.size() && in[i] == '-') {
            chars += '+';
            ++i;
            continue;
        }
        const size_t units = bits.size() / 16;
        if (units == 0 || bits.size() % 16 >= 6 ||
            bits.find('1', units * 16) != std::string::npos) {
            return false;
        }
        std::vector<char32_t> u;
        for (size_t k = 0; k < units; ++k) u.push_back(std::stoul(bits.substr(k * 16, 16), nullptr, 2));
        for (size_t k = 0; k < u.size(); ++k) {
            if (u[k] == 0 || (u[k] >= 0xDC00 && u[k] < 0xE000)) return false;
            if (u[k] >= 0xD800 && u[k] < 0xDC00) {
                if (k + 1 == u.size() || u[k + 1] < 0xDC00 || u[k + 1] >= 0xE000) return false;
                chars += 0x10000 + ((u[k] - 0xD800) << 10) + (u[k + 1] - 0xDC00);
                ++k;
            } else {
                chars += u[k];
            }
        }
        if (i < in.size() && in[i] == '-') ++i;
    }
    out = PercentEncoded(chars);
    return true;
}

// The link target: the first URL key of the first [InternetShortcut] section (empty when it has
// none), or no target when the file has no such section; but the first URL of the first
// [InternetShortcut.W] section, percent-encoded, where it decodes cleanly to something.
bool ReferenceTarget(std::string text, std::string& target) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
        lines.push_back(text.substr(start, lf - start));
    }
    lines.push_back(text.substr(start));

    // Section names that count, each at its first appearance only.
    const std::string names[2] = {"internetshortcut", "internetshortcut.w"};
    bool seen[2] = {false, false};
    bool found[2] = {false, false};
    std::string value[2];
    int in = -1;
    for (const std::string& raw : lines) {
        const std::string line = Trimmed(raw.substr(0, raw.find('\0')));
        if (!line.empty() && line[0] == '[') {
            std::string name = line.substr(1);
            name = Lower(Trimmed(name.substr(0, name.find(']'))));
            in = -1;
            for (int k = 0; k < 2; ++k) {
                if (name == names[k] && !seen[k]) in = k;
            }
            if (in >= 0) seen[in] = true;
            continue;
        }
        const size_t eq = line.find('=');
        if (in < 0 || found[in] || eq == std::string::npos) continue;
        if (Lower(Trimmed(line.substr(0, eq))) != "url") continue;
        std::string v = Trimmed(line.substr(eq + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        value[in] = v;
        found[in] = true;
    }
    target = value[0];
    std::string wide;
    if (found[1] && !value[1].empty() && ReferenceUtf7(value[1], wide)) target = wide;
    return seen[0];
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string folder = ScratchFolder();
    WriteWholeFile(folder + "/" + kName, raw);

    const auto entry = FindEntry(folder + "/" + kName, kFileMask);
    FUZZ_CHECK(entry, "lookup failed");
    FUZZ_CHECK(entry->size == size, "size");
    int32_t count = 0;
    {
        auto page = TextFile::Open(folder + "/page.htm", "wt");
        FUZZ_CHECK(page, "page open");
        WriteShortcut(count, folder, *page, *entry);
        FUZZ_CHECK(page->Close(), "page close");
    }
    const std::string page = ReadWholeFile(folder + "/page.htm");

    std::string target;
    std::string utf16Text;
    const bool utf16 = Utf16Reference(raw, utf16Text);
    const bool isShortcut = ReferenceTarget(utf16 ? utf16Text : TextOf(raw), target);
    FUZZ_CHECK(count == (isShortcut ? 1 : 0), "count " + std::to_string(count) + " for " + Printable(raw));
    // A UTF-16 file's address is Unicode: percent-encoded, as a .W address already is.
    std::string shown;
    if (utf16) {
        for (const char c : target) {
            const auto b = static_cast<unsigned char>(c);
            if (b >= 0x20 && b < 0x7F) {
                shown += c;
            } else {
                shown += '%';
                shown += "0123456789ABCDEF"[b >> 4];
                shown += "0123456789ABCDEF"[b & 0xF];
            }
        }
    } else {
        shown = Shown(target);
    }
    const std::string expected = isShortcut ? "<li><A HREF=\"" + Escape(shown) + "\">" +
                                                  kLinkText + "</A>\r\n\r\n"
                                            : "";
    FUZZ_CHECK(page == expected, "page " + Printable(page) + "\nexpected " + Printable(expected) +
                                     "\nfor " + Printable(raw));
    // The parser alone agrees with what reached the page.
    if (!utf16) {
        const auto parsed = ParseShortcut(TextOf(raw));
        FUZZ_CHECK(parsed.has_value() == isShortcut && (!parsed || *parsed == target),
                   "ParseShortcut");
    }
    return 0;
}
