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
    std::string temporary;  // native path of the file being written
    bool direct = false;    // true when the target is a device or pipe, written in place
};
// Checks that the target can be written without touching it and creates the temporary file.
FileHandle BeginReplacement(const std::string& path, Replacement& r);
// Called after the temporary file was closed successfully: moves it over the target.
bool FinishReplacement(const Replacement& r);
// Removes the temporary file after a failure.
void AbandonReplacement(const Replacement& r);

}  // namespace favpage::native
