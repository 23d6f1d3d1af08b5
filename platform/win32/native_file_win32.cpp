// platform/win32/native_file_win32.cpp: raw file I/O and the page writer's primitives on Windows.
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <vector>

#include "platform/native_file.h"
#include "platform/win32/page_identity_win32.h"
#include "platform/win32/system_path.h"

namespace favpage::native {

namespace {

HANDLE H(FileHandle f) { return reinterpret_cast<HANDLE>(f); }
FileHandle F(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

// The form of a path every file-system call of this file is given: the \\?\ form of the full
// path (win32/system_path.h).
std::wstring SystemPath(const std::string& path) { return win32::SystemPath(path); }

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
    return OpenSystemPath(SystemPath(path), size);
}

FileHandle OpenKnownForReading(const std::string& path) {
    uint64_t size = 0;
    return OpenForReading(path, size);  // CreateFile already refuses folders
}

// No relative open in Win32: the folder's system path and the name.
// Windows listings carry every attribute and never mark an entry DirEntry::plainFile.
FileHandle OpenKnownForReading(const FolderHandle& folder, const DirEntry& entry) {
    if (!folder.IsOpen()) return kNoFile;
    std::wstring path = folder.SystemPath();
    win32::AppendSystemName(path, entry.name);
    uint64_t size = 0;
    return OpenSystemPath(path, size);
}

FileHandle CreateForWriting(const std::string& path) {
    HANDLE h = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
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

bool SeekTo(FileHandle file, uint64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(H(file), at, nullptr, FILE_BEGIN) != 0;
}

int64_t Position(FileHandle file) {
    LARGE_INTEGER at{};
    return SetFilePointerEx(H(file), LARGE_INTEGER{}, &at, FILE_CURRENT) ? at.QuadPart : -1;
}

// Where the next byte goes stays where it was, as on POSIX.
bool Truncate(FileHandle file, uint64_t length) {
    const int64_t at = Position(file);
    return at >= 0 && SeekTo(file, length) && SetEndOfFile(H(file)) &&
           SeekTo(file, static_cast<uint64_t>(at));
}

bool Flush(FileHandle file) { return FlushFileBuffers(H(file)) != 0; }

namespace {

std::wstring InFolder(const PagePlace& place, const SystemName& name) {
    return place.folderPath + L"\\" + name;
}

}  // namespace

bool OpenPage(const std::string& path, PagePlace& place, PageFacts& facts, File& page) {
    if (path.empty() || path.back() == '\\' || path.back() == '/') return false;
    // The system is asked for the \\?\ form (SystemPath), taken once: the temporary file and the
    // page are named exactly, whatever their names hold.
    const std::wstring target = SystemPath(path);
    if (target.empty()) return false;
    facts = PageFacts();
    std::wstring where = target;
    const DWORD attrs = GetFileAttributesW(target.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        // Only a missing file in an existing folder may be created.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    } else {
        // What CreateFile(CREATE_ALWAYS) would refuse, refused before anything is written.
        if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE)) {
            return false;
        }
        // Asked before the page is open here, where this very open would count as holding it.
        facts.held = win32::HeldAgainstReplacing(target);
        // Whether the page's security (and whoever holds it open) lets this user write it:
        // opened as a plain open for writing would, without truncating it; for reading too
        // where it may be read, to keep its old bytes. Shared for deletion, so that this open
        // never keeps another run from replacing the page.
        constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        facts.readable = true;
        HANDLE h = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD refused = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (refused == ERROR_ACCESS_DENIED || refused == ERROR_SHARING_VIOLATION) {
            // Not to be read (its security, or whoever holds it open): should it be written
            // in place, its old bytes cannot be kept.
            facts.readable = false;
            h = CreateFileW(target.c_str(), GENERIC_WRITE, kShare, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        }
        if (h == INVALID_HANDLE_VALUE) return false;
        page = File(F(h));
        facts.kind = PageFacts::Kind::Regular;
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(h, &info)) {
            facts.names = info.nNumberOfLinks;
            facts.size = uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
        } else {
            facts.names = 0;  // cannot tell: not replaced
        }
        // A link to the page stays a link: the file it leads to is replaced, beside itself.
        const std::wstring final = win32::FinalSystemPath(h);
        if (!final.empty() &&
            CompareStringOrdinal(final.c_str(), -1, target.c_str(), -1, TRUE) != CSTR_EQUAL) {
            where = final;
        }
    }
    const size_t sep = where.rfind(L'\\');
    if (sep == std::wstring::npos) return false;
    place.folderPath = where.substr(0, sep);
    place.name = where.substr(sep + 1);
    return true;
}

File CreatePrivate(const PagePlace& place, const PageFacts& facts, SystemName& name,
                   bool& folderRefuses) {
    folderRefuses = false;
    // Never more open than the page: made with its access list (a new page gets the folder's,
    // as any new file), and shared for deletion, so an interrupt can remove it.
    std::vector<char> creation;
    if (facts.kind == PageFacts::Kind::Regular) {
        creation = win32::WithoutExecute(win32::ReadAccessList(InFolder(place, place.name)));
    }
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!creation.empty()) security.lpSecurityDescriptor = creation.data();
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t made[64];
        std::swprintf(made, 64, L"~favpage-%lu-%u.tmp",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        HANDLE h = CreateFileW(InFolder(place, made).c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_DELETE, &security, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            name = made;
            return File(F(h));
        }
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
        folderRefuses = error == ERROR_ACCESS_DENIED;
        return File();
    }
    return File();
}

// Another user's page: replacing it would make it this user's, unless it can be given back.
bool CopyIdentity(const PagePlace& place, const PageFacts& facts, const File&, const File&,
                  const SystemName& name) {
    return facts.kind == PageFacts::Kind::Missing ||
           win32::KeepsOwner(InFolder(place, place.name), InFolder(place, name));
}

bool MoveIntoPlace(const PagePlace& place, const PageFacts& facts, File& temporary,
                   const SystemName& name) {
    const std::wstring target = InFolder(place, place.name);
    const std::wstring moved = InFolder(place, name);
    const bool existed = facts.kind == PageFacts::Kind::Regular;
    if (existed) win32::TakeOverCreationTime(H(temporary.Get()), target);
    if (!temporary.Close()) return false;
    if (existed) win32::TakeOverAttributesAndSecurity(moved, target);
    // One atomic move, which replaces a page another run made or replaced meanwhile: the last
    // one wins. (ReplaceFileW is no such step under Wine: it moves the page aside first, and
    // two runs at once then fail and leave its files behind.) A file held open against
    // replacing cannot be replaced; another run looking at the page, or a virus scanner, holds
    // it for a moment only, so the move is tried again for up to a second.
    for (int attempt = 0;; ++attempt) {
        DWORD error = ERROR_SHARING_VIOLATION;
        if (!win32::HeldAgainstReplacing(target)) {
            if (MoveFileExW(moved.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            error = GetLastError();
        }
        if (attempt == 40 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
            return false;
        }
        Sleep(25);
    }
}

void RemoveTemporary(const PagePlace& place, const SystemName& name) {
    DeleteFileW(InFolder(place, name).c_str());
}

}  // namespace favpage::native
