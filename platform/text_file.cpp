// platform/text_file.cpp: text-mode translation over the backend's binary file I/O.
#include "platform/text_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/native_file.h"

namespace favpage {

namespace {
constexpr char kCtrlZ = 0x1A;
constexpr size_t kWriteBufferSize = 256 * 1024;

// Reads with text-mode translation: at most `count` characters of the `unread` bytes left,
// every CR dropped, the first Ctrl-Z ending the text for good (`ended`). With `shortReadEnds`,
// a read that delivers fewer bytes than asked ends it too: a plain file read without a lookup
// has no known length, and a local file system gives less only at the end (a network one may
// also give less at its transfer size, tens of kilobytes at the least; a shortcut takes a few
// hundred bytes).
size_t ReadTranslated(native::FileHandle file, uint64_t& unread, bool& ended, char* buffer,
                      size_t count, bool shortReadEnds = false) {
    size_t delivered = 0;
    // Raw bytes are read straight into the caller's buffer and compacted in place: dropping CRs
    // only ever shortens the text, so no second buffer is needed.
    while (delivered < count && !ended && unread > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(count - delivered, unread));
        const long got = native::ReadBytes(file, buffer + delivered, want);
        if (got <= 0) {
            ended = true;  // end of file or a read error: both end the text
            break;
        }
        unread -= static_cast<uint64_t>(got);
        if (shortReadEnds && static_cast<size_t>(got) < want) ended = true;
        char* const begin = buffer + delivered;
        char* end = begin + got;
        if (char* z = static_cast<char*>(std::memchr(begin, kCtrlZ, static_cast<size_t>(got)))) {
            end = z;
            ended = true;
        }
        // Drop the CRs by moving the runs between them down.
        char* out = static_cast<char*>(std::memchr(begin, '\r', static_cast<size_t>(end - begin)));
        if (!out) out = end;
        for (char* in = out; in != end;) {
            ++in;  // past a CR
            char* cr = static_cast<char*>(std::memchr(in, '\r', static_cast<size_t>(end - in)));
            char* stop = cr ? cr : end;
            std::memmove(out, in, static_cast<size_t>(stop - in));
            out += stop - in;
            in = stop;
        }
        delivered += static_cast<size_t>(out - begin);
    }
    return delivered;
}

// The plain "wt" file: written as it is, closed when finished.
class FileSink final : public ByteSink {
public:
    explicit FileSink(native::File file) : m_file(std::move(file)) {}
    bool Write(const char* data, size_t count) override {
        return native::WriteBytes(m_file.Get(), data, count);
    }
    bool Finish() override { return m_file.Close(); }

private:
    native::File m_file;
};

}  // namespace

ByteSink::~ByteSink() = default;

struct TextFile::Impl {
    native::File file;                // read
    std::unique_ptr<ByteSink> sink;   // or written: a plain file, or the page
    bool writing = false;
    bool finishWhenDropped = false;   // a plain file is closed by destruction too

    // Reading: bytes still in the file as it was when opened, and whether Ctrl-Z was met.
    uint64_t unread = 0;
    bool ended = false;

    // Writing: translated bytes not yet handed to the system; the first error is kept.
    std::vector<char> buffer;
    bool failed = false;

    bool closed = false;
    bool closeResult = false;
};

TextFile::TextFile(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

TextFile::~TextFile() {
    // A page never finished keeps its old contents: its sink is dropped unfinished.
    if (!m_impl->closed && (!m_impl->writing || m_impl->finishWhenDropped)) Close();
}

std::unique_ptr<TextFile> TextFile::Open(const std::string& path, const char* mode) {
    auto impl = std::make_unique<Impl>();
    const std::string m = mode ? mode : "";
    if (m == "r" || m == "rt") {
        impl->file = native::File(native::OpenForReading(path, impl->unread));
        if (!impl->file) return nullptr;
    } else if (m == "wt" || m == "w") {
        native::File file(native::CreateForWriting(path));
        if (!file) return nullptr;
        impl->sink = std::make_unique<FileSink>(std::move(file));
        impl->writing = true;
        impl->finishWhenDropped = true;
    } else {
        return nullptr;
    }
    return std::make_unique<TextFile>(std::move(impl));
}

std::unique_ptr<TextFile> TextFile::OpenLookedUp(const std::string& path, uint64_t size) {
    auto impl = std::make_unique<Impl>();
    impl->file = native::File(native::OpenKnownForReading(path));
    if (!impl->file) return nullptr;
    impl->unread = size;
    return std::make_unique<TextFile>(std::move(impl));
}

std::unique_ptr<TextFile> TextFile::WritingTo(std::unique_ptr<ByteSink> sink) {
    if (!sink) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->sink = std::move(sink);
    impl->writing = true;
    return std::make_unique<TextFile>(std::move(impl));
}

size_t TextFile::Read(char* buffer, size_t count) {
    Impl& f = *m_impl;
    if (f.writing || f.closed) return 0;
    return ReadTranslated(f.file.Get(), f.unread, f.ended, buffer, count);
}

namespace {

std::optional<size_t> ReadOpened(native::File file, uint64_t size, char* buffer, size_t count,
                                 bool shortReadEnds = false) {
    if (!file) return std::nullopt;
    uint64_t unread = size;
    bool ended = false;
    return ReadTranslated(file.Get(), unread, ended, buffer, count, shortReadEnds);
}

}  // namespace

std::optional<size_t> TextFile::ReadLookedUp(const std::string& path, uint64_t size, char* buffer,
                                             size_t count) {
    return ReadOpened(native::File(native::OpenKnownForReading(path)), size, buffer, count);
}

std::optional<size_t> TextFile::ReadLookedUp(const FolderHandle& folder, const DirEntry& entry,
                                             char* buffer, size_t count) {
    native::File file(native::OpenKnownForReading(folder, entry));
    if (entry.plainFile) return ReadOpened(std::move(file), UINT64_MAX, buffer, count, true);
    return ReadOpened(std::move(file), entry.length, buffer, count);
}

void TextFile::Write(std::string_view text) {
    Impl& f = *m_impl;
    if (!f.writing || f.closed) return;
    if (f.buffer.capacity() < kWriteBufferSize) f.buffer.reserve(kWriteBufferSize);
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        const size_t stop = lf == std::string_view::npos ? text.size() : lf;
        f.buffer.insert(f.buffer.end(), text.data() + start, text.data() + stop);
        if (lf == std::string_view::npos) break;
        f.buffer.push_back('\r');
        f.buffer.push_back('\n');
        start = lf + 1;
        if (f.buffer.size() >= kWriteBufferSize) FlushBuffer();
    }
    if (f.buffer.size() >= kWriteBufferSize) FlushBuffer();
}

bool TextFile::FlushBuffer() {
    Impl& f = *m_impl;
    if (!f.buffer.empty() && !f.failed) {
        if (!f.sink->Write(f.buffer.data(), f.buffer.size())) f.failed = true;
    }
    f.buffer.clear();
    return !f.failed;
}

bool TextFile::Failed() const { return m_impl->failed; }

bool TextFile::Close() {
    Impl& f = *m_impl;
    if (f.closed) return f.closeResult;
    f.closed = true;
    bool ok = true;
    if (!f.writing) {
        if (!f.file.Close()) ok = false;
    } else {
        ok = FlushBuffer() && f.sink->Finish();
        f.sink.reset();  // unfinished when a write failed: the page is left as it was
    }
    f.closeResult = ok;
    return ok;
}

}  // namespace favpage
