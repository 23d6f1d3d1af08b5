// platform/win32/native_file_win32.cpp: raw file I/O and the replacing writer on Windows.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <new>
#include <vector>

#include "platform/native_file.h"
#include "platform/win32/page_identity_win32.h"
#include "platform/win32/pending_writes.h"
#include "platform/win32/system_path.h"
#include "platform/win32/wide_text.h"

namespace favpage::native {

namespace {

HANDLE H(FileHandle f) { return reinterpret_cast<HANDLE>(f); }
FileHandle F(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

// The form of a path every file-system call of this file is given: the \\?\ form of the full
// path (win32/system_path.h).
std::wstring SystemPath(const std::string& path) { return win32::SystemPath(path); }

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
    return OpenSystemPath(SystemPath(path), size);
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
    // Not while an interrupt puts a page's old bytes back, nor after.
    win32::PendingWritesLock lock;
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

// Reads the whole file, from its start, into `bytes`.
bool ReadWhole(HANDLE h, std::vector<char>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) return false;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
        size_t have = 0;
        for (;;) {
            if (have == bytes.size()) bytes.resize(bytes.size() * 2);  // it grew meanwhile
            const long got = ReadBytes(F(h), bytes.data() + have, bytes.size() - have);
            if (got < 0) return false;
            if (got == 0) break;
            have += static_cast<size_t>(got);
        }
        bytes.resize(have);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_BEGIN) != 0;
}

// The page is written in place, from its start; its old bytes are read first, so that a failed
// or interrupted run can put them back. A page that may be written but not read is emptied
// first, as a plain open for writing does, and cannot be restored.
FileHandle WriteInPlace(HANDLE page, bool readable, Replacement& r) {
    const bool kept = readable ? ReadWhole(page, r.old) : SetEndOfFile(page) != 0;
    if (!kept) {
        CloseHandle(page);
        return kNoFile;
    }
    r.restorable = readable;
    r.temporary.clear();
    win32::PendingWritesLock lock;
    r.pending = win32::NotePageInPlace(page, r.old.data(), r.old.size(), r.restorable);
    return F(page);
}

}  // namespace

FileHandle BeginReplacement(const std::string& path, Replacement& r) {
    r = Replacement();
    if (path.empty() || path.back() == '\\' || path.back() == '/') return kNoFile;
    // The system is asked for the \\?\ form (SystemPath): the temporary file and the page are
    // named exactly, whatever their names hold.
    const std::wstring target = SystemPath(path);
    if (target.empty()) return kNoFile;
    const DWORD attrs = GetFileAttributesW(target.c_str());
    HANDLE existing = INVALID_HANDLE_VALUE;  // the page, open for writing
    bool readable = true;
    std::vector<char> accessList;
    std::string linkedTo;
    bool replaceable = true;
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        // Only a missing file in an existing folder may be created.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return kNoFile;
    } else {
        // What CreateFile(CREATE_ALWAYS) would refuse, refused before anything is written.
        if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE)) {
            return kNoFile;
        }
        // Asked before the page is open here, where this very open would count as holding it.
        const bool held = win32::HeldAgainstReplacing(target);
        // Whether the page's security (and whoever holds it open) lets this user write it:
        // opened as a plain open for writing would, without truncating it; for reading too
        // where it may be read, to keep its old bytes. Shared for deletion, so that this open
        // never keeps another run from replacing the page.
        constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        existing = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD refused = existing == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (refused == ERROR_ACCESS_DENIED || refused == ERROR_SHARING_VIOLATION) {
            // Not to be read (its security, or whoever holds it open): should it be written
            // in place, its old bytes cannot be kept.
            readable = false;
            existing = CreateFileW(target.c_str(), GENERIC_WRITE, kShare, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        }
        if (existing == INVALID_HANDLE_VALUE) return kNoFile;
        // A page with other names, or one that cannot be moved away, stays the same file.
        BY_HANDLE_FILE_INFORMATION info;
        replaceable = !held && GetFileInformationByHandle(existing, &info) &&
                      info.nNumberOfLinks == 1;
        accessList = win32::ReadAccessList(target);
        linkedTo = win32::FinalPathIfLinked(existing, target);
    }
    // A link to the page stays a link: the file it leads to is replaced, beside itself.
    r.target = linkedTo.empty() ? path : linkedTo;
    r.existed = existing != INVALID_HANDLE_VALUE;

    if (replaceable) {
        // Never more open than the page: made with its access list (a new page gets the
        // folder's, as any new file), and shared for deletion, so an interrupt can remove it.
        std::vector<char> creation = win32::WithoutExecute(accessList);
        SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
        if (!creation.empty()) security.lpSecurityDescriptor = creation.data();
        const std::string folder = FolderOf(r.target);
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[64];
            std::snprintf(name, sizeof name, "\\~favpage-%lu-%u.tmp",
                          static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
            const std::string temporary = folder + name;
            const std::wstring system = SystemPath(temporary);
            win32::PendingWritesLock lock;
            HANDLE h = CreateFileW(system.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, &security, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
                // A folder that refuses new files: the page may still be written in place.
                if (error == ERROR_ACCESS_DENIED && r.existed) break;
                // No space, a name too long: refused before the page is touched.
                if (existing != INVALID_HANDLE_VALUE) CloseHandle(existing);
                return kNoFile;
            }
            r.temporary = temporary;
            r.pending = win32::NoteTemporaryFile(system);
            if (!r.existed || win32::KeepsOwner(target, system)) {
                if (existing != INVALID_HANDLE_VALUE) CloseHandle(existing);
                return F(h);
            }
            // Another user's page: replacing it would make it this user's.
            CloseHandle(h);
            DeleteFileW(system.c_str());
            win32::Forget(r.pending);
            r.pending = -1;
            break;
        }
    }
    if (existing == INVALID_HANDLE_VALUE) return kNoFile;
    return WriteInPlace(existing, readable, r);
}

bool FinishReplacement(FileHandle file, Replacement& r) {
    HANDLE h = H(file);
    if (r.temporary.empty()) {
        bool ok;
        {
            win32::PendingWritesLock lock;
            LARGE_INTEGER written{};
            ok = SetFilePointerEx(h, LARGE_INTEGER{}, &written, FILE_CURRENT) && SetEndOfFile(h) &&
                 FlushFileBuffers(h);
            if (!ok && r.restorable) {
                win32::PutBack(h, r.old.data(), r.old.size(), written.QuadPart);
                FlushFileBuffers(h);
            }
            win32::Forget(r.pending);
            r.pending = -1;
        }
        if (!CloseHandle(h)) ok = false;
        return ok;
    }
    const std::wstring target = SystemPath(r.target);
    const std::wstring temporary = SystemPath(r.temporary);
    bool ok = FlushFileBuffers(h) != 0;
    if (ok && r.existed) win32::TakeOverCreationTime(h, target);
    if (!CloseHandle(h)) ok = false;
    win32::PendingWritesLock lock;
    if (ok && r.existed) {
        win32::TakeOverAttributesAndSecurity(temporary, target);
        ok = !win32::HeldAgainstReplacing(target);
    }
    // One atomic move, which replaces a page another run made or replaced meanwhile: the last
    // one wins. (ReplaceFileW is no such step under Wine: it moves the page aside first, and
    // two runs at once then fail and leave its files behind.) A file that is open cannot be
    // replaced; another run looking at the page, or a virus scanner, holds it for a moment
    // only, so the move is tried again for up to a second.
    for (int attempt = 0; ok; ++attempt) {
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            break;
        }
        const DWORD error = GetLastError();
        ok = attempt < 40 && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION);
        if (ok) Sleep(25);
    }
    if (!ok) DeleteFileW(temporary.c_str());
    win32::Forget(r.pending);
    r.pending = -1;
    return ok;
}

void AbandonReplacement(FileHandle file, Replacement& r) {
    if (r.temporary.empty()) {
        {
            win32::PendingWritesLock lock;
            if (r.restorable) {
                LARGE_INTEGER written{};
                const bool known =
                    SetFilePointerEx(H(file), LARGE_INTEGER{}, &written, FILE_CURRENT);
                win32::PutBack(H(file), r.old.data(), r.old.size(),
                               known ? written.QuadPart : -1);
                FlushFileBuffers(H(file));
            }
            win32::Forget(r.pending);
            r.pending = -1;
        }
        CloseFile(file);
        return;
    }
    CloseFile(file);
    win32::PendingWritesLock lock;
    DeleteFileW(SystemPath(r.temporary).c_str());
    win32::Forget(r.pending);
    r.pending = -1;
}

}  // namespace favpage::native
