// platform/file_bytes.cpp: binary reads over the backend's file I/O.
#include "platform/file_bytes.h"

#include <algorithm>

#include "platform/native_file.h"

namespace favpage {

std::optional<size_t> ReadBytesLookedUp(const FolderHandle& folder, const DirEntry& entry,
                                        char* buffer, size_t count) {
    const native::File file(native::OpenKnownForReading(folder, entry));
    if (!file) return std::nullopt;
    // The size read at the lookup bounds the read, so a file that keeps growing ends too; a
    // plain file not looked up ends at the first read that gives less than asked.
    const size_t want =
        entry.plainFile ? count : static_cast<size_t>(std::min<uint64_t>(count, entry.length));
    size_t got = 0;
    while (got < want) {
        const size_t asked = want - got;
        const long n = native::ReadBytes(file.Get(), buffer + got, asked);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
        if (entry.plainFile && static_cast<size_t>(n) < asked) break;
    }
    return got;
}

}  // namespace favpage
