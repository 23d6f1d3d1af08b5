// platform/file_bytes.h: a file's bytes as they are, for text that text mode would change.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/dir_search.h"

namespace favpage {

// Opens the file `entry` of the open `folder`, which the caller has just looked up (DirSearch)
// as no folder, or which the folder's listing showed as a plain file (as TextFile::ReadLookedUp
// takes them); reads at most `count` of its bytes without any translation and closes it.
// Returns the number of bytes read (fewer only at the end of the file or after a read error),
// or nothing when the file could not be opened.
std::optional<size_t> ReadBytesLookedUp(const FolderHandle& folder, const DirEntry& entry,
                                        char* buffer, size_t count);

}  // namespace favpage
