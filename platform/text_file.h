// platform/text_file.h: text-mode files with the same bytes on every platform.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dir_search.h"

namespace favpage {

// Where a writing TextFile hands its bytes, already translated, a buffer at a time.
class ByteSink {
public:
    virtual ~ByteSink();
    // Writes all of `data`, after what was written before; false when any of it failed.
    virtual bool Write(const char* data, size_t count) = 0;
    // Called once, after every byte was written and none failed; true when all of them reached
    // their place. A sink destroyed without it was abandoned.
    virtual bool Finish() = 0;
};

// Reading ("r"): every CR is dropped, the first Ctrl-Z ends the file for good.
// Writing ("wt"): every LF is stored as CR LF, every other byte unchanged.
// The translation is our own over binary I/O, so the page's bytes never depend on the C library.
class TextFile {
public:
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `path` with mode "r" or "wt". Opening a directory fails.
    static std::unique_ptr<TextFile> Open(const std::string& path, const char* mode);

    // Opens for reading a file the caller has just looked up (DirSearch) as no folder, of `size`
    // bytes: the system is not asked again, and at most `size` bytes are read. Should the path
    // have turned into a folder since, reading delivers nothing.
    static std::unique_ptr<TextFile> OpenLookedUp(const std::string& path, uint64_t size);

    // Opens such a file, reads at most `count` characters of it as Read() does, and closes it,
    // without creating a TextFile: the folder walk reads every file this way. Returns the number
    // of characters delivered, or nothing when the file could not be opened.
    static std::optional<size_t> ReadLookedUp(const std::string& path, uint64_t size,
                                              char* buffer, size_t count);
    // The same for an entry of an open folder, at most its length read; or, for an entry its
    // listing showed as a plain file (DirEntry::plainFile), not looked up and of no known
    // length, up to the first read that delivers fewer bytes than asked, which ends the file.
    static std::optional<size_t> ReadLookedUp(const FolderHandle& folder, const DirEntry& entry,
                                              char* buffer, size_t count);

    // Opens a writer whose translated bytes go to `sink` (nothing when there is none): Close()
    // finishes the sink; destruction without Close() drops it unfinished, whatever that means
    // for it (the page's writer, engine/page_output.h, then leaves the page as it was).
    static std::unique_ptr<TextFile> WritingTo(std::unique_ptr<ByteSink> sink);

    // Delivers at most `count` characters after translation; fewer only at the end of the file
    // (or after a read error). Returns the number delivered. The end is where the file ended
    // when it was opened, so a file that keeps growing cannot keep a reader busy.
    size_t Read(char* buffer, size_t count);

    // Writes `text` translated. Errors are remembered and reported by Close().
    void Write(std::string_view text);
    void Write(const char* text, size_t length) { Write(std::string_view(text, length)); }

    // True once a write has failed: the rest of the page cannot reach the file, so a writer may
    // stop early. Close() still reports the failure.
    bool Failed() const;

    // Flushes and closes (a writer's sink is finished: the page's writer moves the file into
    // place). True when every byte written reached the file. A second call returns the first
    // call's answer.
    bool Close();

    struct Impl;
    explicit TextFile(std::unique_ptr<Impl> impl);

private:
    bool FlushBuffer();

    std::unique_ptr<Impl> m_impl;
};

}  // namespace favpage
