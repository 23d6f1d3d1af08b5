// platform/native_file.h: the few raw file operations each backend provides to TextFile.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

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

// The replacing writer's steps. `Replacement` carries what the backend needs between them.
struct Replacement {
    std::string target;     // native path of the file to replace
    std::string temporary;  // native path of the file being written; empty when written in place
    bool existed = false;   // the target was there when the writer began
    bool flush = true;      // false for a device or pipe, which keeps nothing to flush
};
// Opens the existing target for writing without truncating it (the test a plain open for
// writing makes), so a target this user may not write is refused before anything is written;
// then creates the temporary file beside it. When no file can be made there (or could not be
// moved over the target) but the target itself may be written, it is truncated and written in
// place; so are devices and pipes.
FileHandle BeginReplacement(const std::string& path, Replacement& r);
// Called after every byte was written: flushes the file to the disk, closes it and moves the
// temporary file over the target, keeping the target's permissions. The file is closed in any
// case; false when anything failed, and the temporary file is then removed.
bool FinishReplacement(FileHandle file, const Replacement& r);
// Closes the file and removes the temporary file after a failure.
void AbandonReplacement(FileHandle file, const Replacement& r);

}  // namespace favpage::native
