// platform/win32/dir_search_win32.cpp: DirSearch over FindFirstFileExW/FindNextFileW.
// The wide calls find every name, whatever its characters; names travel as UTF-8 (code_page.h).
#include <windows.h>

#include <utility>

#include "platform/dir_search.h"
#include "platform/win32/wide_text.h"

namespace favpage {

namespace {

// Seconds since 1970 of a FILETIME (100 ns units since 1601); 0 stays 0, "not known".
int64_t UnixSeconds(const FILETIME& ft) {
    const uint64_t t = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (t == 0) return 0;
    constexpr int64_t kSeconds1601To1970 = 11644473600;
    return static_cast<int64_t>(t / 10000000) - kSeconds1601To1970;
}

FileTimes TimesOf(const FILETIME& created, const FILETIME& written) {
    FileTimes t;
    t.created = UnixSeconds(created);
    t.modified = UnixSeconds(written);
    return t;
}

DirEntry EntryOf(const WIN32_FIND_DATAW& fd) {
    DirEntry e;
    win32::AppendNarrow(e.name, fd.cFileName, wcslen(fd.cFileName));
    e.size = fd.nFileSizeLow;
    e.length = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    e.attributes = fd.dwFileAttributes;
    e.times = TimesOf(fd.ftCreationTime, fd.ftLastWriteTime);
    return e;
}

}  // namespace

struct DirSearch::Impl {
    HANDLE find = INVALID_HANDLE_VALUE;
    uint32_t mask = 0;

    ~Impl() { Release(); }

    void Release() {
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            find = INVALID_HANDLE_VALUE;
        }
    }

    // Skips entries the mask does not admit, starting with the one in `fd`.
    std::optional<DirEntry> FirstAdmitted(WIN32_FIND_DATAW& fd) {
        for (;;) {
            if (Admits(mask, fd.dwFileAttributes)) return EntryOf(fd);
            if (!FindNextFileW(find, &fd)) {
                Release();
                return std::nullopt;
            }
        }
    }
};

// Win32 has no calls relative to an open folder (only the native NtCreateFile has), so the
// handle keeps the folder's path and every name is joined to it.
FolderHandle::FolderHandle(std::string path) : m_path(std::move(path)), m_open(true) {}
FolderHandle::~FolderHandle() = default;
FolderHandle::FolderHandle(FolderHandle&& other) noexcept = default;
FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept = default;

namespace {

std::string Joined(const FolderHandle& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.Path().size() + 1 + name.size());
    path += folder.Path();
    path += kPathSeparator;
    path += name;
    return path;
}

}  // namespace

DirSearch::DirSearch() = default;
DirSearch::~DirSearch() = default;

std::optional<DirEntry> DirSearch::FindFirst(const FolderHandle& folder, uint32_t mask,
                                             Detail detail) {
    return FindFirst(Joined(folder, "*.*"), mask, detail);
}

namespace {

HANDLE StartSearch(const std::string& pattern, WIN32_FIND_DATAW& fd) {
    const std::wstring wide = win32::Wide(pattern);
    // The basic information level skips the short names; the large fetch reads big folders in
    // fewer calls. Both exist from Windows 7 on.
    HANDLE find = FindFirstFileExW(wide.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        find = FindFirstFileW(wide.c_str(), &fd);
    }
    return find;
}

}  // namespace

std::optional<DirEntry> DirSearch::FindFirst(const std::string& pattern, uint32_t mask,
                                             Detail /*detail*/) {
    m_impl.reset();
    auto impl = std::make_unique<Impl>();
    impl->mask = mask;
    WIN32_FIND_DATAW fd;
    impl->find = StartSearch(pattern, fd);
    if (impl->find == INVALID_HANDLE_VALUE) return std::nullopt;
    m_impl = std::move(impl);
    return m_impl->FirstAdmitted(fd);
}

bool DirSearch::FindFirst(const FolderHandle& folder, uint32_t mask, Detail detail,
                          DirEntry& entry) {
    std::optional<DirEntry> e = FindFirst(folder, mask, detail);
    if (e) entry = std::move(*e);
    return e.has_value();
}

bool DirSearch::FindNext(DirEntry& entry) {
    std::optional<DirEntry> e = FindNext();
    if (e) entry = std::move(*e);
    return e.has_value();
}

std::optional<DirEntry> DirSearch::FindNext() {
    if (!m_impl || m_impl->find == INVALID_HANDLE_VALUE) return std::nullopt;
    WIN32_FIND_DATAW fd;
    if (!FindNextFileW(m_impl->find, &fd)) {
        m_impl->Release();
        return std::nullopt;
    }
    return m_impl->FirstAdmitted(fd);
}

std::optional<DirEntry> FindEntry(const std::string& path, uint32_t mask) {
    DirSearch search;  // closed when it goes out of scope: a lookup is an abandoned search
    return search.FindFirst(path, mask);
}

bool FindEntry(const std::string& path, uint32_t mask, DirEntry& entry) {
    std::optional<DirEntry> found = FindEntry(path, mask);
    if (!found) return false;
    entry = std::move(*found);
    return true;
}

std::optional<std::string> FullFolderPath(const std::string& path) {
    const std::wstring wide = win32::Wide(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::nullopt;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) return std::nullopt;
    return win32::Narrow(full.data(), length);
}

bool FindEntry(const FolderHandle& folder, const std::string& name, uint32_t mask, DirEntry& entry) {
    return FindEntry(Joined(folder, name), mask, entry);
}

std::optional<FolderId> GetFolderId(const FolderHandle& folder, const std::string& name,
                                    FileTimes* times) {
    return GetFolderId(Joined(folder, name), times);
}

std::optional<FolderId> GetFolderId(const std::string& path, FileTimes* times) {
    // Backup semantics let CreateFile open a folder; no access is asked for but its identity.
    HANDLE h = CreateFileW(win32::Wide(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    if (times) *times = TimesOf(info.ftCreationTime, info.ftLastWriteTime);
    FolderId id;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    // Some file systems report no index at all; then identity cannot be told.
    if (id.index == 0) return std::nullopt;
    return id;
}

}  // namespace favpage
