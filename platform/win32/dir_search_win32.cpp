// platform/win32/dir_search_win32.cpp: DirSearch over FindFirstFileExW/FindNextFileW.
// The wide calls find every name, whatever its characters; names travel as UTF-8 (code_page.h).
// Every path reaches the system in its \\?\ form (system_path.h).
#include <windows.h>

#include <utility>

#include "platform/dir_search.h"
#include "platform/win32/system_path.h"
#include "text/path.h"
#include "text/utf16.h"

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

// A path holding '*' or '?' names no entry: no Windows name holds either. (The \\?\ mark of a
// path in the system's form, and the native \??\ that means the same, are no wildcards.)
bool HasWildcards(std::string_view path) {
    if (path.substr(0, 4) == "\\\\?\\" || path.substr(0, 4) == "\\??\\") path.remove_prefix(4);
    return path.find_first_of("*?") != std::string_view::npos;
}

DirEntry EntryOf(const WIN32_FIND_DATAW& fd) {
    DirEntry e;
    AppendNarrow(e.name, fd.cFileName, wcslen(fd.cFileName));
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
// handle keeps the folder's system path and every name is joined to it.
FolderHandle::FolderHandle(std::string path) : FolderHandle(std::move(path), SystemFolderPath()) {}

FolderHandle::FolderHandle(std::string path, SystemFolderPath system)
    : m_path(std::move(path)), m_system(std::move(system)) {
    if (m_system.path.empty()) m_system.path = win32::SystemPath(m_path);
    m_system.path = win32::WithoutTrailingSeparators(std::move(m_system.path));
    m_open = !m_system.path.empty();
}

FolderHandle::~FolderHandle() = default;
FolderHandle::FolderHandle(FolderHandle&& other) noexcept = default;
FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept = default;

SystemFolderPath FolderHandle::SubFolder(const std::string& name) const {
    SystemFolderPath sub{m_system.path};
    win32::AppendSystemName(sub.path, name);
    return sub;
}

SystemFolderPath FolderHandle::SubFolderOf(const std::string& path, const SystemFolderPath& system,
                                           const std::string& name) {
    // A handle here opens nothing: it only forms the folder's system path.
    return FolderHandle(path, system).SubFolder(name);
}

namespace {

std::wstring Joined(const FolderHandle& folder, const std::string& name) {
    std::wstring path;
    path.reserve(folder.SystemPath().size() + 1 + name.size());
    path = folder.SystemPath();
    win32::AppendSystemName(path, name);
    return path;
}

}  // namespace

DirSearch::DirSearch() = default;
DirSearch::~DirSearch() = default;

namespace {

// A search of `pattern`, on its first entry in `fd`; nullptr when nothing matches.
std::unique_ptr<DirSearch::Impl> Started(const std::wstring& pattern, uint32_t mask,
                                         WIN32_FIND_DATAW& fd) {
    if (pattern.empty()) return nullptr;
    auto impl = std::make_unique<DirSearch::Impl>();
    impl->mask = mask;
    // The basic information level skips the short names; the large fetch reads big folders in
    // fewer calls. Both exist from Windows 7 on.
    impl->find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                  nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (impl->find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        impl->find = FindFirstFileW(pattern.c_str(), &fd);
    }
    if (impl->find == INVALID_HANDLE_VALUE) return nullptr;
    return impl;
}

}  // namespace

std::optional<DirEntry> DirSearch::FindFirst(const FolderHandle& folder, uint32_t mask,
                                             Detail /*detail*/) {
    WIN32_FIND_DATAW fd;
    m_impl = folder.IsOpen() ? Started(folder.SystemPath() + L"\\*", mask, fd) : nullptr;
    if (!m_impl) return std::nullopt;
    return m_impl->FirstAdmitted(fd);
}

std::optional<DirEntry> DirSearch::FindFirst(const std::string& pattern, uint32_t mask,
                                             Detail /*detail*/) {
    WIN32_FIND_DATAW fd;
    m_impl = Started(win32::SystemPath(pattern), mask, fd);
    if (!m_impl) return std::nullopt;
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

namespace {

// The entry at a system path, looked up without a search: a drive root has an entry here too.
bool LookUp(const std::wstring& path, std::string_view name, uint32_t mask, DirEntry& entry) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    entry.name.assign(name.data(), name.size());
    entry.size = data.nFileSizeLow;
    entry.length = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.attributes = data.dwFileAttributes;
    entry.times = TimesOf(data.ftCreationTime, data.ftLastWriteTime);
    entry.plainFile = false;
    return Admits(mask, entry.attributes);
}

}  // namespace

std::optional<DirEntry> FindEntry(const std::string& path, uint32_t mask) {
    DirEntry entry;
    if (!FindEntry(path, mask, entry)) return std::nullopt;
    return entry;
}

bool FindEntry(const std::string& path, uint32_t mask, DirEntry& entry) {
    if (HasWildcards(path)) return false;
    return LookUp(win32::SystemPath(path), LastName(path), mask, entry);
}

bool FindEntry(const FolderHandle& folder, const std::string& name, uint32_t mask, DirEntry& entry) {
    if (!folder.IsOpen()) return false;
    return LookUp(Joined(folder, name), name, mask, entry);
}

std::optional<std::string> FullFolderPath(const std::string& path) {
    const std::wstring full = win32::FullPath(Wide(path));
    if (full.empty()) return std::nullopt;
    return Narrow(full.data(), full.size());
}

namespace {

std::optional<FolderId> FolderIdOf(const std::wstring& path, FileTimes* times) {
    if (path.empty()) return std::nullopt;
    // Backup semantics let CreateFile open a folder; no access is asked for but its identity.
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

}  // namespace

std::optional<FolderId> GetFolderId(const FolderHandle& folder, FileTimes* times) {
    if (!folder.IsOpen()) return std::nullopt;
    return FolderIdOf(folder.SystemPath(), times);
}

std::optional<FolderId> GetFolderId(const FolderHandle& folder, const std::string& name,
                                    FileTimes* times) {
    if (!folder.IsOpen()) return std::nullopt;
    return FolderIdOf(Joined(folder, name), times);
}

std::optional<FolderId> GetFolderId(const std::string& path, FileTimes* times) {
    return FolderIdOf(win32::SystemPath(path), times);
}

}  // namespace favpage
