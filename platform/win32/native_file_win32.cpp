// platform/win32/native_file_win32.cpp: raw file I/O and the replacing writer on Windows.
#include <windows.h>

#include <cstdio>

#include "platform/native_file.h"
#include "platform/win32/wide_text.h"

namespace favpage::native {

namespace {

HANDLE H(FileHandle f) { return reinterpret_cast<HANDLE>(f); }
FileHandle F(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

std::string FolderOf(const std::string& path) {
    const size_t sep = path.find_last_of("\\/:");
    if (sep == std::string::npos) return ".";
    if (path[sep] == ':') return path.substr(0, sep + 1) + ".";
    return path.substr(0, sep);
}

}  // namespace

FileHandle OpenForReading(const std::string& path, uint64_t& size) {
    // Without backup semantics a folder cannot be opened, which is what a text file wants.
    HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kNoFile;
    LARGE_INTEGER len;
    if (GetFileType(h) == FILE_TYPE_DISK && GetFileSizeEx(h, &len)) {
        size = static_cast<uint64_t>(len.QuadPart);
    } else {
        size = UINT64_MAX;
    }
    return F(h);
}

FileHandle OpenKnownForReading(const std::string& path) {
    uint64_t size = 0;
    return OpenForReading(path, size);  // CreateFile already refuses folders
}

// No relative open in Win32: the folder's path and the name.
FileHandle OpenKnownForReading(const FolderHandle& folder, const std::string& name) {
    return OpenKnownForReading(folder.Path() + kPathSeparator + name);
}

FileHandle CreateForWriting(const std::string& path) {
    HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return F(h);
}

long ReadBytes(FileHandle file, char* buffer, size_t count) {
    DWORD want = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!ReadFile(H(file), buffer, want, &got, nullptr)) return -1;
    return static_cast<long>(got);
}

bool WriteBytes(FileHandle file, const char* data, size_t count) {
    while (count > 0) {
        const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!WriteFile(H(file), data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        count -= written;
    }
    return true;
}

bool CloseFile(FileHandle file) {
    if (file == kNoFile) return true;
    return CloseHandle(H(file)) != 0;
}

FileHandle BeginReplacement(const std::string& path, Replacement& r) {
    r = Replacement();
    if (path.empty() || path.back() == '\\' || path.back() == '/') return kNoFile;
    const DWORD attrs = GetFileAttributesW(win32::Wide(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        // Only a missing file in an existing folder may be created.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return kNoFile;
    } else {
        // What CreateFile(CREATE_ALWAYS) would refuse, refused before anything is written.
        if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                     FILE_ATTRIBUTE_SYSTEM)) {
            return kNoFile;
        }
        if (attrs & FILE_ATTRIBUTE_DEVICE) return kNoFile;
    }
    const std::string folder = FolderOf(path);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "\\~favpage-%lu-%u.tmp",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        const std::string temporary = folder + name;
        HANDLE h = CreateFileW(win32::Wide(temporary).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) {
                continue;
            }
            return kNoFile;
        }
        r.target = path;
        r.temporary = temporary;
        return F(h);
    }
    return kNoFile;
}

bool FinishReplacement(const Replacement& r) {
    return MoveFileExW(win32::Wide(r.temporary).c_str(), win32::Wide(r.target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void AbandonReplacement(const Replacement& r) {
    if (!r.temporary.empty()) DeleteFileW(win32::Wide(r.temporary).c_str());
}

}  // namespace favpage::native
