// platform/win32/native_file_win32.cpp: raw file I/O and the replacing writer on Windows.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/native_file.h"
#include "platform/win32/system_path.h"
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

namespace {

FileHandle OpenSystemPath(const std::wstring& path, uint64_t& size) {
    if (path.empty()) return kNoFile;
    // Without backup semantics a folder cannot be opened, which is what a text file wants.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
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

}  // namespace

FileHandle OpenForReading(const std::string& path, uint64_t& size) {
    return OpenSystemPath(win32::SystemPath(path), size);
}

FileHandle OpenKnownForReading(const std::string& path) {
    uint64_t size = 0;
    return OpenForReading(path, size);  // CreateFile already refuses folders
}

// No relative open in Win32: the folder's system path and the name.
FileHandle OpenKnownForReading(const FolderHandle& folder, const std::string& name) {
    if (!folder.IsOpen()) return kNoFile;
    std::wstring path = folder.SystemPath();
    win32::AppendSystemName(path, name);
    uint64_t size = 0;
    return OpenSystemPath(path, size);
}

FileHandle CreateForWriting(const std::string& path) {
    HANDLE h = CreateFileW(win32::SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
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

namespace {

// The target's access list, as GetFileSecurityW gives it; empty when it cannot be read.
std::vector<char> ReadAccessList(const std::wstring& path) {
    DWORD need = 0;
    GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &need);
    std::vector<char> sd(need);
    if (need == 0 ||
        !GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, sd.data(), need, &need)) {
        sd.clear();
    }
    return sd;
}

bool SameAccessList(const std::vector<char>& a, const std::vector<char>& b) {
    if (a.empty() || b.empty()) return a.empty() == b.empty();
    BOOL presentA = FALSE, presentB = FALSE, defaultedA = FALSE, defaultedB = FALSE;
    PACL aclA = nullptr, aclB = nullptr;
    auto* sdA = const_cast<char*>(a.data());
    auto* sdB = const_cast<char*>(b.data());
    if (!GetSecurityDescriptorDacl(sdA, &presentA, &aclA, &defaultedA) ||
        !GetSecurityDescriptorDacl(sdB, &presentB, &aclB, &defaultedB)) {
        return false;
    }
    if (!presentA || !presentB || !aclA || !aclB) return presentA == presentB && aclA == aclB;
    return aclA->AclSize == aclB->AclSize && std::memcmp(aclA, aclB, aclA->AclSize) == 0;
}

// The attributes a replaced page carries over; read-only, hidden and system pages are refused.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                  FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

// ReplaceFileW gives the new page the old one's attributes and security; where it did not
// (Wine keeps neither), they are set here. Best effort: the new page is in place either way.
void KeepAttributesAndSecurity(const std::wstring& target, DWORD attributes,
                               const std::vector<char>& accessList) {
    const DWORD now = GetFileAttributesW(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES &&
        (now & kKeptAttributes) != (attributes & kKeptAttributes)) {
        const DWORD want = (now & ~kKeptAttributes) | (attributes & kKeptAttributes);
        SetFileAttributesW(target.c_str(), want ? want : FILE_ATTRIBUTE_NORMAL);
    }
    if (!accessList.empty() && !SameAccessList(accessList, ReadAccessList(target))) {
        SetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION,
                         const_cast<char*>(accessList.data()));
    }
}

// True when another program holds the page open without letting it be deleted or renamed, so
// that no replacement can take its place. Asked first because Wine's ReplaceFileW then leaves
// a file of its own beside the page.
bool HeldAgainstReplacing(const std::wstring& target) {
    HANDLE h = CreateFileW(target.c_str(), DELETE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}

}  // namespace

FileHandle BeginReplacement(const std::string& path, Replacement& r) {
    r = Replacement();
    if (path.empty() || path.back() == '\\' || path.back() == '/') return kNoFile;
    // The system is asked for the \\?\ form, which every later step keeps: the temporary file
    // and the page are named exactly, whatever their names hold.
    const std::wstring target = win32::SystemPath(path);
    if (target.empty()) return kNoFile;
    const DWORD attrs = GetFileAttributesW(target.c_str());
    HANDLE existing = INVALID_HANDLE_VALUE;  // the target, open for writing
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        // Only a missing file in an existing folder may be created.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return kNoFile;
    } else {
        // What CreateFile(CREATE_ALWAYS) would refuse, refused before anything is written.
        if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE)) {
            return kNoFile;
        }
        // Whether the page's security (and whoever holds it open) lets this user write it:
        // opened as a plain open for writing would, without truncating it.
        existing = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (existing == INVALID_HANDLE_VALUE) return kNoFile;
    }
    r.target = win32::Narrow(target.data(), target.size());
    r.existed = existing != INVALID_HANDLE_VALUE;

    const std::string folder = FolderOf(r.target);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "\\~favpage-%lu-%u.tmp",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        const std::string temporary = folder + name;
        HANDLE h = CreateFileW(win32::Wide(temporary).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            break;
        }
        if (existing != INVALID_HANDLE_VALUE) CloseHandle(existing);
        r.temporary = temporary;
        return F(h);
    }
    // No file can be made beside the page, but the page itself may be written: in place.
    if (existing == INVALID_HANDLE_VALUE) return kNoFile;
    if (!SetEndOfFile(existing)) {  // at offset 0: truncated, as a plain open for writing does
        CloseHandle(existing);
        return kNoFile;
    }
    return F(existing);
}

bool FinishReplacement(FileHandle file, const Replacement& r) {
    bool ok = FlushFileBuffers(H(file)) != 0;
    if (!CloseHandle(H(file))) ok = false;
    if (r.temporary.empty()) return ok;
    const std::wstring target = win32::Wide(r.target);
    const std::wstring temporary = win32::Wide(r.temporary);
    if (ok && !r.existed) {
        ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    } else if (ok) {
        const DWORD attributes = GetFileAttributesW(target.c_str());
        const std::vector<char> accessList = ReadAccessList(target);
        ok = !HeldAgainstReplacing(target) &&
             ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
        const DWORD error = ok ? 0 : GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            // The old page is gone (or was already): the complete new one takes its place.
            ok = GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
                 MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        }
        if (ok && attributes != INVALID_FILE_ATTRIBUTES) {
            KeepAttributesAndSecurity(target, attributes, accessList);
        }
    }
    if (!ok) {
        // Keep the new page rather than nothing should the old one be gone after all.
        if (!r.existed || GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileW(temporary.c_str());
        }
    }
    return ok;
}

void AbandonReplacement(FileHandle file, const Replacement& r) {
    CloseFile(file);
    if (!r.temporary.empty()) DeleteFileW(win32::Wide(r.temporary).c_str());
}

}  // namespace favpage::native
