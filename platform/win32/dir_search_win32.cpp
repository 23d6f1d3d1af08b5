// platform/win32/dir_search_win32.cpp: DirSearch over FindFirstFileExW/FindNextFileW.
// The wide calls find every name, whatever its characters; names travel as UTF-8 (code_page.h).
#include <windows.h>

#include <utility>

#include "platform/dir_search.h"
#include "platform/win32/wide_text.h"

namespace favpage {

namespace {

DirEntry EntryOf(const WIN32_FIND_DATAW& fd) {
    DirEntry e;
    win32::AppendNarrow(e.name, fd.cFileName, wcslen(fd.cFileName));
    e.size = fd.nFileSizeLow;
    e.length = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    e.attributes = fd.dwFileAttributes;
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

DirSearch::DirSearch() = default;
DirSearch::~DirSearch() = default;

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

std::optional<FolderId> GetFolderId(const std::string& path) {
    // Backup semantics let CreateFile open a folder; no access is asked for but its identity.
    HANDLE h = CreateFileW(win32::Wide(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    FolderId id;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    // Some file systems report no index at all; then identity cannot be told.
    if (id.index == 0) return std::nullopt;
    return id;
}

}  // namespace favpage
