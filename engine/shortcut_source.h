// engine/shortcut_source.h: the walk's stream of records, one for each file a folder lists (its
// name, the entry its lookup found, its text and what kind of text), and the source that reads
// each file when it is named.
#pragma once
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/shortcut_reader.h"
#include "platform/dir_search.h"

namespace favpage {

// One file of a folder as a source delivers it: the name the listing gave, the entry found by
// looking the name up afresh (for its current attributes) or, for a plain file read without a
// lookup (Lookup::UnlessPlain), the entry the listing gave (PlainFileEntry), and the text read
// from it. `kind` is
// TextKind::None when the lookup found no file under kFileMask (gone since the listing, or a
// folder now) or the file was not read. The name and the text are the source's, kept until
// its next call.
struct ShortcutRecord {
    std::string_view name;
    DirEntry entry;
    std::string_view text;
    TextKind kind = TextKind::None;
};

// Whether a source looks each file up before it reads it. Lookup::Always learns every file's
// current attributes and times (the bookmarks file shows the times). Lookup::UnlessPlain reads
// a file its listing showed as a plain file (DirEntry::plainFile) without a lookup, one system
// call less per file, for a writer that needs no times.
enum class Lookup { Always, UnlessPlain };

// Finds the entry of the file `name` of `folder` that a source reads, into `entry`: with
// Lookup::UnlessPlain, for a file its listing showed as a plain file, the listing's own
// (PlainFileEntry); otherwise the one a lookup finds now. False when the lookup finds no file
// under kFileMask (gone since the listing, or a folder now).
bool EntryToRead(const FolderHandle& folder, const std::string& name, bool plainFile,
                 Lookup lookup, DirEntry& entry);

// How a source on other threads reads a file it has looked up.
using TextReader = TextKind (*)(const FolderHandle& folder, const DirEntry& entry,
                                std::string& text);

// Where the walk's records come from. The walk begins a folder, names its files in the order
// its listing delivers them, takes a record whenever the source has one Ready(), takes the rest
// once the listing is done, and ends the folder. Records come in the order the files were
// named, each what looking the file up and reading it at some moment during the walk gives.
class ShortcutSource {
public:
    virtual ~ShortcutSource() = default;
    // Starts the files of `folder`, which stays open until End().
    virtual void Begin(const FolderHandle& folder) = 0;
    // Names the folder's next file; `plainFile` when its listing showed a plain file.
    virtual void Add(const std::string& name, bool plainFile) = 0;
    // How many files named are still to be taken.
    virtual size_t Pending() const = 0;
    // True when the next record is to be taken before another file is named.
    virtual bool Ready() const = 0;
    // The record of the next file named and not yet taken, valid until the next call.
    virtual const ShortcutRecord& Take() = 0;
    // Ends the folder: files named and not taken are forgotten.
    virtual void End() = 0;
};

// Tells from the time files take to look up and read whether they come from the disk rather
// than the system's cache: a cached file takes a few microseconds, one from a disk a hundred or
// more. Files are judged sixteen at a time, and count as slow after two slow samples in a row,
// so that the first files of a run (whose reads also pay for the run's first allocations) or one
// slow moment of a busy machine do not count.
class Pace {
public:
    static constexpr int kSample = 16;
    static constexpr std::chrono::microseconds kSlowFile{40};

    // Counts one file that took `spent`; true when it ends the second slow sample in a row
    // (or a later one).
    bool Slow(std::chrono::steady_clock::duration spent);

private:
    int m_files = 0;
    int m_slowSamples = 0;
    std::chrono::steady_clock::duration m_spent{};
};

// The source that looks up and reads each file when it is taken, right after the listing named
// it, while the system still has the folder and the file's inode at hand; it times each file
// and tells when the files come slowly. The name given to Add must stay until Take.
class SequentialSource final : public ShortcutSource {
public:
    explicit SequentialSource(Lookup lookup = Lookup::Always);
    void Begin(const FolderHandle& folder) override;
    void Add(const std::string& name, bool plainFile) override;
    size_t Pending() const override { return m_named ? 1 : 0; }
    bool Ready() const override { return m_named; }
    const ShortcutRecord& Take() override;
    void End() override;

    // The record of `name` in `folder`, looked up (whatever the source's Lookup) and read now
    // (not timed); valid until the next call.
    const ShortcutRecord& Read(const FolderHandle& folder, std::string_view name);
    // True once Pace has found the files taken so far slow.
    bool FilesComeSlowly() const { return m_slow; }

private:
    void LookUpAndRead(const FolderHandle& folder, const std::string& name, bool plainFile);

    const Lookup m_lookup;
    const FolderHandle* m_folder = nullptr;
    const std::string* m_name = nullptr;
    std::string m_nameRead;  // the name Read was given
    // One buffer for every file, read one at a time, and the text of a UTF-16 file.
    std::unique_ptr<char[]> m_buffer;
    std::string m_utf16Text;
    ShortcutRecord m_record;
    bool m_named = false;
    bool m_namedPlain = false;  // the listing showed the file named a plain file
    bool m_slow = false;
    Pace m_pace;
};

}  // namespace favpage
