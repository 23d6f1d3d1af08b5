// platform/native_file.h: the raw file operations each backend provides: reading and writing
// bytes, and the few steps the page's writer (engine/page_output.h) is made of.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/dir_search.h"

namespace favpage::native {

// An open file of the backend: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

// Names as the system takes them: bytes on POSIX, UTF-16 on Windows.
#ifdef _WIN32
using SystemName = std::wstring;
#else
using SystemName = std::string;
#endif

// Opens an existing file for binary reading; fails for a directory. `size` receives its length.
FileHandle OpenForReading(const std::string& path, uint64_t& size);
// Opens for binary reading without checking what the path is (the caller just did).
FileHandle OpenKnownForReading(const std::string& path);
// The same for an entry of an open folder: one just looked up, or one its listing showed as a
// plain file (DirEntry::plainFile), whose name is then not followed should it have turned into
// a link since.
FileHandle OpenKnownForReading(const FolderHandle& folder, const DirEntry& entry);
// Creates or truncates a file for binary writing.
FileHandle CreateForWriting(const std::string& path);
// Reads up to `count` bytes: the number read, 0 at the end, -1 on error.
long ReadBytes(FileHandle file, char* buffer, size_t count);
// Writes all `count` bytes; false when any of them could not be written. Makes only the calls
// a signal handler may make.
bool WriteBytes(FileHandle file, const char* data, size_t count);
// Closes; false when the system reports that written data may not have reached the file.
bool CloseFile(FileHandle file);

// Moves to `offset` from the start; where the next byte is read or written (-1: unknown); cuts
// or extends to `length`. Signal-safe, as WriteBytes.
bool SeekTo(FileHandle file, uint64_t offset);
int64_t Position(FileHandle file);
bool Truncate(FileHandle file, uint64_t length);
// Puts what was written on the disk. True too where the file keeps nothing it could lose (a
// file system that cannot flush).
bool Flush(FileHandle file);

// An open file, closed by its destructor.
class File {
public:
    File() = default;
    explicit File(FileHandle handle) : m_handle(handle) {}
    ~File() { CloseFile(m_handle); }
    File(File&& other) noexcept : m_handle(other.m_handle) { other.m_handle = kNoFile; }
    File& operator=(File&& other) noexcept {
        if (this != &other) {
            CloseFile(m_handle);
            m_handle = other.m_handle;
            other.m_handle = kNoFile;
        }
        return *this;
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    FileHandle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != kNoFile; }
    // Closes now: false when written data may not have reached the file.
    bool Close() {
        const FileHandle handle = m_handle;
        m_handle = kNoFile;
        return CloseFile(handle);
    }

private:
    FileHandle m_handle = kNoFile;
};

// Where the page is: its folder, held from the moment the page was found, and its name there.
// Every step on the temporary file goes through the folder held: on POSIX its descriptor, so a
// folder moved or swapped meanwhile neither keeps a temporary file nor receives one; on Windows
// the one \\?\ path taken at the start (win32/system_path.h).
struct PagePlace {
    PagePlace() = default;
    ~PagePlace() {
        if (folder != -1) CloseFile(folder);
    }
    PagePlace(PagePlace&& other) noexcept
        : folder(other.folder), folderPath(std::move(other.folderPath)),
          name(std::move(other.name)) {
        other.folder = -1;
    }
    PagePlace& operator=(PagePlace&& other) noexcept {
        if (this != &other) {
            if (folder != -1) CloseFile(folder);
            folder = other.folder;
            other.folder = -1;
            folderPath = std::move(other.folderPath);
            name = std::move(other.name);
        }
        return *this;
    }
    PagePlace(const PagePlace&) = delete;
    PagePlace& operator=(const PagePlace&) = delete;

    intptr_t folder = -1;  // POSIX: the folder's descriptor, owned
    SystemName folderPath;  // Windows: the folder's \\?\ path, without a trailing separator
    SystemName name;        // the page's name in the folder
};

// What the writer's decision needs to know of the page it found.
struct PageFacts {
    enum class Kind { Missing, Regular, Device };  // Device: a device or a pipe
    Kind kind = Kind::Missing;
    bool readable = false;  // opened for reading too: its old bytes can be kept
    bool yours = true;      // a new file can have its owner: this user's, or root may give it
    uint32_t names = 1;     // hard links
    uint64_t size = 0;      // its length when found
    bool held = false;      // another program holds it open against replacing (Windows)
};

// Finds the file that a plain open of `path` for writing would write, and opens it for writing
// (and reading, where this user may) when it exists, the way such an open would let it be: the
// rules that README.md "Replacing the page" lists. False, with nothing touched, where that open
// would be refused or the system cannot tell what is there.
bool OpenPage(const std::string& path, PagePlace& place, PageFacts& facts, File& page);

// Makes a new file in the page's folder, readable and writable by this user alone (on Windows:
// never more open than the page), and names it in `name`. On failure `folderRefuses` tells that
// the folder does not let this user add a file, rather than anything else (no space, ...).
File CreatePrivate(const PagePlace& place, const PageFacts& facts, SystemName& name,
                   bool& folderRefuses);

// Gives the new file `temporary`, named `name`, everything the page `page` has (`facts.kind`
// Missing: what a new file in that folder gets): owner and group, permissions, ACL and extended
// attributes; on Windows the owner. False when any of it cannot be given.
bool CopyIdentity(const PagePlace& place, const PageFacts& facts, const File& page,
                  const File& temporary, const SystemName& name);

// Closes the flushed file `temporary` and moves it over the page, within the held folder; on
// Windows it is given the page's attributes, creation time and exact access list first, and a
// page held open for a moment is waited for. False when the move failed.
bool MoveIntoPlace(const PagePlace& place, const PageFacts& facts, File& temporary,
                   const SystemName& name);

// Removes the temporary file `name` from the held folder.
void RemoveTemporary(const PagePlace& place, const SystemName& name);

}  // namespace favpage::native
