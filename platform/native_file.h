// platform/native_file.h: the few raw file operations each backend provides to TextFile.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dir_search.h"

namespace favpage::native {

// An open file of the backend: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

// Opens an existing file for binary reading; fails for a directory. `size` receives its length.
FileHandle OpenForReading(const std::string& path, uint64_t& size);
// Opens for binary reading without checking what the path is (the caller just did).
FileHandle OpenKnownForReading(const std::string& path);
// The same for a name in an open folder.
FileHandle OpenKnownForReading(const FolderHandle& folder, const std::string& name);
// Creates or truncates a file for binary writing.
FileHandle CreateForWriting(const std::string& path);
// Reads up to `count` bytes: the number read, 0 at the end, -1 on error.
long ReadBytes(FileHandle file, char* buffer, size_t count);
// Writes all `count` bytes; false when any of them could not be written.
bool WriteBytes(FileHandle file, const char* data, size_t count);
// Closes; false when the system reports that written data may not have reached the file.
bool CloseFile(FileHandle file);

// The replacing writer's steps. `Replacement` carries what the backend needs between them; it
// stays where BeginReplacement found it until the writer is finished or abandoned.
struct Replacement {
    std::string target;     // native path of the file written: the page, or a link's final target
    std::string temporary;  // native path of the temporary file; empty when written in place
    bool existed = false;   // the target was there when the writer began
    bool flush = true;      // false for a device or pipe, which keeps nothing to flush
    // Written in place: the page's old bytes, put back when the run fails or is interrupted.
    // `restorable` is false where they could not be read (a page that may be written but not
    // read) and for devices and pipes.
    std::vector<char> old;
    bool restorable = false;
    intptr_t folder = -1;   // POSIX: the temporary file's folder, held open
    int pending = -1;       // the backend's record of what an interrupt must undo
};
// Decides how the page is written and opens what is written:
// - The target is refused (kNoFile) before anything is touched when it could not be written at
//   all: a directory, a hidden file, a file this user may not open for writing, a missing folder.
// - A symbolic link is followed to its final target, which is written (made when missing).
// - Where everything about an existing page can be kept (owner and group, permissions, ACL and
//   extended attributes; on Windows attributes and security), a temporary file beside it,
//   private to this user from its creation and then given all of that, receives the text.
// - Where it cannot (another user's page, several hard links, a folder that refuses new files,
//   a page held open against replacing), the page itself is written, from its start, after its
//   old bytes were read; so are devices and pipes, as they are.
// - Any other failure to make the temporary file (no space, a name too long) is a refusal.
FileHandle BeginReplacement(const std::string& path, Replacement& r);
// Called after every byte was written: puts the new text on the disk and in the page's place
// (moving the temporary file over the page, or cutting the page written in place to its new
// length). The file is closed in any case; false when anything failed, and then the temporary
// file is removed, or the old bytes of a page written in place are put back.
bool FinishReplacement(FileHandle file, Replacement& r);
// Closes the file after a failure: removes the temporary file, or puts back the old bytes.
void AbandonReplacement(FileHandle file, Replacement& r);

}  // namespace favpage::native
