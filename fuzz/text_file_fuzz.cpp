// fuzz/text_file_fuzz.cpp: text-mode reading and writing against a plain restatement of the rule.
// The first input byte picks how the file is opened and read; the rest is the file.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/page_output.h"
#include "fuzz/fuzz_support.h"
#include "platform/text_file.h"

using favpage::OpenPageWriter;
using favpage::TextFile;
using namespace favpage::fuzz;

namespace {

// Reading: every CR dropped, the first Ctrl-Z ends the text; at most `limit` bytes of the file.
std::string ExpectedRead(const std::string& raw, size_t limit) {
    std::string out;
    for (size_t i = 0; i < raw.size() && i < limit; ++i) {
        if (raw[i] == '\x1A') break;
        if (raw[i] != '\r') out += raw[i];
    }
    return out;
}

// Writing: every LF stored as CR LF.
std::string ExpectedWrite(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Reads everything in pieces of `piece` characters (0: one big read).
std::string ReadAll(TextFile& f, size_t piece, size_t total) {
    std::string got;
    std::vector<char> buffer(std::max<size_t>(piece ? piece : total + 16, 1));
    for (;;) {
        const size_t n = f.Read(buffer.data(), buffer.size());
        FUZZ_CHECK(n <= buffer.size(), "delivered more than asked");
        got.append(buffer.data(), n);
        if (n < buffer.size()) break;  // fewer only at the end
        FUZZ_CHECK(got.size() <= total, "delivered more than the file holds");
    }
    FUZZ_CHECK(f.Read(buffer.data(), buffer.size()) == 0, "reading goes on after the end");
    return got;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t control = data[0];
    const std::string raw(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string folder = ScratchFolder();
    const std::string native = folder + "/text.txt";
    const std::string path = native;
    WriteWholeFile(native, raw);

    // Pieces of 1..32 characters, or one read of everything.
    const size_t piece = (control & 0x20) ? 0 : (control & 0x1F) + 1;
    if (control & 0x40) {
        // Opened as a looked-up file whose size may be smaller than the file.
        const size_t limit = (control & 0x80) ? raw.size() / 2 : raw.size();
        auto f = TextFile::OpenLookedUp(path, limit);
        FUZZ_CHECK(f, "OpenLookedUp failed");
        const std::string got = ReadAll(*f, piece, raw.size());
        FUZZ_CHECK(got == ExpectedRead(raw, limit), "looked-up read: " + Printable(raw));
    } else {
        auto f = TextFile::Open(path, "r");
        FUZZ_CHECK(f, "Open r failed");
        const std::string got = ReadAll(*f, piece, raw.size());
        FUZZ_CHECK(got == ExpectedRead(raw, raw.size()), "read: " + Printable(raw));
        FUZZ_CHECK(f->Close(), "closing a reader fails");
    }

    if (control & 0x80) {
        // The replacing writer, over the file just read, in pieces cut at the control byte.
        auto w = OpenPageWriter(path);
        FUZZ_CHECK(w, "OpenPageWriter failed");
        const size_t cut = std::min<size_t>(raw.size(), control & 0x3F);
        w->Write(std::string_view(raw).substr(0, cut));
        w->Write(std::string_view(raw).substr(cut));
        FUZZ_CHECK(!w->Failed(), "write failed");
        FUZZ_CHECK(w->Close(), "close failed");
        FUZZ_CHECK(ReadWholeFile(native) == ExpectedWrite(raw), "write: " + Printable(raw));
        size_t entries = 0;
        for (auto it = std::filesystem::directory_iterator(folder);
             it != std::filesystem::directory_iterator(); ++it) {
            ++entries;
        }
        FUZZ_CHECK(entries == 1, "a temporary file was left behind");
    }
    return 0;
}
