// platform/file_bytes.cpp: binary reads over the backend's file I/O.
#include "platform/file_bytes.h"

#include <algorithm>

#include "platform/native_file.h"

namespace favpage {

std::optional<size_t> ReadBytesLookedUp(const FolderHandle& folder, const std::string& name,
                                        uint64_t size, char* buffer, size_t count) {
    const native::File file(native::OpenKnownForReading(folder, name));
    if (!file) return std::nullopt;
    // The size read at the lookup bounds the read, so a file that keeps growing ends too.
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count, size));
    size_t got = 0;
    while (got < want) {
        const long n = native::ReadBytes(file.Get(), buffer + got, want - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace favpage
