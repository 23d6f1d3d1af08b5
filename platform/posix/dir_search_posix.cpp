// platform/posix/dir_search_posix.cpp: DirSearch over getdents64 (or opendir/readdir) and stat.
// POSIX has no hidden, system or volume-label attributes: a name starting with "." (other than
// "." and "..") counts as hidden, a file the owner cannot write as read-only, and symbolic links
// are followed, so a link to a folder is a folder.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <memory>
#include <utility>

#include "platform/dir_search.h"
#include "text/path.h"

namespace favpage {

namespace {

bool HasWildcards(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// '*' matches any run of characters, '?' exactly one; letter case counts, as on the file system.
bool GlobMatch(const char* p, const char* n) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*n) {
        if (*p == '?' || (*p != '*' && *p == *n)) {
            ++p;
            ++n;
        } else if (*p == '*') {
            star = p++;
            resume = n;
        } else if (star) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') ++p;
    return *p == 0;
}

// As on Windows, a pattern ending in ".*" also matches names without that dot, so "*.*"
// matches every name.
bool NameMatches(const std::string& pattern, const char* name) {
    if (pattern == "*" || pattern == "*.*") return true;
    if (GlobMatch(pattern.c_str(), name)) return true;
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0) {
        return GlobMatch(pattern.substr(0, pattern.size() - 2).c_str(), name);
    }
    return false;
}

FileTimes TimesOf(const struct stat& st) {
    FileTimes t;
    t.created = t.modified = static_cast<int64_t>(st.st_mtime);
    return t;
}

// Fills `e` (its name storage reused) from a name and what stat() said about it.
void FillEntry(DirEntry& e, const char* name, size_t nameLength, const struct stat& st) {
    e.name.assign(name, nameLength);
    e.attributes = 0;
    if (S_ISDIR(st.st_mode)) e.attributes |= kAttrDirectory;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        e.attributes |= kAttrDevice;  // a device, pipe or socket
    }
    if (IsHiddenName(e.name)) e.attributes |= kAttrHidden;
    if ((st.st_mode & S_IWUSR) == 0) e.attributes |= kAttrReadOnly;
    e.length = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    e.size = static_cast<uint32_t>(e.length);
    e.times = TimesOf(st);
    e.plainFile = false;
}

}  // namespace

#ifdef __linux__
// The block of entries of this thread's last search, kept for its next one: threads list folder
// after folder, and a fresh block for each costs the allocator more than a small folder's
// listing costs the system.
thread_local std::unique_ptr<char[]> t_spareBlock;
#endif

struct DirSearch::Impl {
    DIR* dir = nullptr;
#ifdef __linux__
    // A search of an open folder reads its entries straight from the folder's descriptor, a
    // block at a time, rather than through a copy of the descriptor made and closed for it.
    static constexpr size_t kBlock = 32 * 1024;
    int folderFd = -1;
    std::unique_ptr<char[]> block;
    size_t at = 0;
    size_t filled = 0;
#endif
    std::string pattern;  // last component
    bool matchesAll = false;  // "*" or "*.*", the walk's patterns: no name needs matching
    uint32_t mask = 0;
    Detail detail = Detail::Full;
    bool done = false;

    ~Impl() {
        if (dir) closedir(dir);
#ifdef __linux__
        if (!t_spareBlock) t_spareBlock = std::move(block);
#endif
    }

    int Fd() const {
#ifdef __linux__
        if (!dir) return folderFd;
#endif
        return dirfd(dir);
    }

    // The next entry of the folder, or none.
    const struct dirent64* NextEntry() {
#ifdef __linux__
        if (!dir) {
            if (at >= filled) {
                const long n = syscall(SYS_getdents64, folderFd, block.get(), kBlock);
                if (n <= 0) return nullptr;
                at = 0;
                filled = static_cast<size_t>(n);
            }
            const auto* d = reinterpret_cast<const struct dirent64*>(block.get() + at);
            at += d->d_reclen;
            return d;
        }
#endif
        return readdir64(dir);
    }

    // Fills `e`, its storage reused, with the next admitted entry; false once there is none.
    bool Next(DirEntry& e) {
        while (!done) {
            errno = 0;
            const struct dirent64* d = NextEntry();
            if (!d) break;
            if (!matchesAll && !NameMatches(pattern, d->d_name)) continue;
            const bool kindKnown = d->d_type != DT_UNKNOWN && d->d_type != DT_LNK;
            if (detail == Detail::NamesAndKinds && d->d_type == DT_REG) {
                PlainFileEntry(d->d_name, e);
            } else if (detail == Detail::NamesAndKinds && kindKnown) {
                // The listing already tells folders from files; hidden comes from the name.
                e.name.assign(d->d_name);
                e.size = 0;
                e.length = 0;
                e.attributes = 0;
                e.times = FileTimes{};
                if (d->d_type == DT_DIR) e.attributes |= kAttrDirectory;
                if (IsHiddenName(e.name)) e.attributes |= kAttrHidden;
                e.plainFile = false;
            } else {
                struct stat st;
                if (fstatat(Fd(), d->d_name, &st, 0) != 0 &&
                    fstatat(Fd(), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                    continue;  // vanished since the listing
                }
                FillEntry(e, d->d_name, std::strlen(d->d_name), st);
            }
            if (Admits(mask, e.attributes)) return true;
        }
        // The search is over: release the directory now rather than at destruction.
        done = true;
        if (dir) {
            closedir(dir);
            dir = nullptr;
        }
        return false;
    }

    std::optional<DirEntry> Next() {
        DirEntry e;
        if (!Next(e)) return std::nullopt;
        return e;
    }
};

FolderHandle::FolderHandle(std::string path) : m_path(std::move(path)) {
    int fd;
    do {
        fd = open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    m_native = fd;
    m_open = fd >= 0;
}

FolderHandle::FolderHandle(std::string path, SystemFolderPath /*system*/)
    : FolderHandle(std::move(path)) {}

SystemFolderPath FolderHandle::SubFolder(const std::string& /*name*/) const { return {}; }

SystemFolderPath FolderHandle::SubFolderOf(const std::string& /*path*/,
                                           const SystemFolderPath& /*system*/,
                                           const std::string& /*name*/) {
    return {};
}

FolderHandle::~FolderHandle() {
    if (m_open) close(static_cast<int>(m_native));
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_native(other.m_native),
      m_open(other.m_open),
      m_searched(other.m_searched) {
    other.m_native = -1;
    other.m_open = false;
}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        if (m_open) close(static_cast<int>(m_native));
        m_path = std::move(other.m_path);
        m_native = other.m_native;
        m_open = other.m_open;
        m_searched = other.m_searched;
        other.m_native = -1;
        other.m_open = false;
    }
    return *this;
}

DirSearch::DirSearch() = default;
DirSearch::~DirSearch() = default;

std::optional<DirEntry> DirSearch::FindFirst(const FolderHandle& folder, uint32_t mask,
                                             Detail detail) {
    DirEntry e;
    if (!FindFirst(folder, mask, detail, e)) return std::nullopt;
    return e;
}

bool DirSearch::FindNext(DirEntry& entry) { return m_impl && m_impl->Next(entry); }

bool DirSearch::FindFirst(const FolderHandle& folder, uint32_t mask, Detail detail,
                          DirEntry& entry) {
    m_impl.reset();
    if (!folder.IsOpen()) return false;
    // A listing of this very folder, whatever its path means now, from the beginning: a
    // folder's searches follow one another, never interleaved. (Opening "." in it instead would
    // need search permission, which a folder that may only be listed lacks.)
    auto impl = std::make_unique<Impl>();
#ifdef __linux__
    impl->folderFd = static_cast<int>(folder.Native());
    if (!folder.FirstSearch() && lseek(impl->folderFd, 0, SEEK_SET) != 0) return false;
    impl->block = t_spareBlock ? std::move(t_spareBlock)
                               : std::unique_ptr<char[]>(new char[Impl::kBlock]);
#else
    // A copy of the descriptor shares its position.
    const int fd = fcntl(static_cast<int>(folder.Native()), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return false;
    impl->dir = fdopendir(fd);
    if (!impl->dir) {
        close(fd);
        return false;
    }
    rewinddir(impl->dir);
#endif
    impl->matchesAll = true;
    impl->mask = mask;
    impl->detail = detail;
    m_impl = std::move(impl);
    return m_impl->Next(entry);
}

std::optional<DirEntry> DirSearch::FindFirst(const std::string& pattern, uint32_t mask,
                                             Detail detail) {
    m_impl.reset();
    const std::string& path = pattern;
    const size_t slash = path.rfind('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last.empty()) return std::nullopt;  // "folder/" names no entry

    if (!HasWildcards(last)) return FindEntry(pattern, mask);

    std::string folder;
    if (slash == std::string::npos) {
        folder = ".";
    } else if (slash == 0) {
        folder = "/";
    } else {
        folder = path.substr(0, slash);
    }
    auto impl = std::make_unique<Impl>();
    impl->dir = opendir(folder.c_str());
    if (!impl->dir) return std::nullopt;
    impl->pattern = last;
    impl->matchesAll = last == "*" || last == "*.*";
    impl->mask = mask;
    impl->detail = detail;
    m_impl = std::move(impl);
    return m_impl->Next();
}

std::optional<DirEntry> DirSearch::FindNext() {
    if (!m_impl) return std::nullopt;
    return m_impl->Next();
}

bool FindEntry(const std::string& path, uint32_t mask, DirEntry& entry) {
    // The name is the last one; trailing slashes ("folder/") only say it is a folder, which
    // stat() checks.
    if (path.empty()) return false;
    const std::string_view name = LastName(path);
    // The path itself, followed through links, with every attribute filled in.
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    if (name.empty()) {
        FillEntry(entry, "/", 1, st);  // the root
    } else {
        FillEntry(entry, name.data(), name.size(), st);
    }
    return Admits(mask, entry.attributes);
}

bool FindEntry(const FolderHandle& folder, const std::string& name, uint32_t mask, DirEntry& entry) {
    if (!folder.IsOpen() || name.empty() || name.find('/') != std::string::npos) return false;
    struct stat st;
    if (fstatat(static_cast<int>(folder.Native()), name.c_str(), &st, 0) != 0) return false;
    FillEntry(entry, name.c_str(), name.size(), st);
    return Admits(mask, entry.attributes);
}

std::optional<DirEntry> FindEntry(const std::string& path, uint32_t mask) {
    DirEntry e;
    if (!FindEntry(path, mask, e)) return std::nullopt;
    return e;
}

std::optional<std::string> FullFolderPath(const std::string& path) {
    char* full = realpath(path.c_str(), nullptr);
    if (!full) return std::nullopt;
    std::string result = full;
    free(full);
    return result;
}

std::optional<FolderId> GetFolderId(const std::string& path, FileTimes* times) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    if (times) *times = TimesOf(st);
    FolderId id;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    return id;
}

std::optional<FolderId> GetFolderId(const FolderHandle& folder, FileTimes* times) {
    struct stat st;
    if (!folder.IsOpen() || fstat(static_cast<int>(folder.Native()), &st) != 0) return std::nullopt;
    if (times) *times = TimesOf(st);
    FolderId id;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    return id;
}

std::optional<FolderId> GetFolderId(const FolderHandle& folder, const std::string& name,
                                    FileTimes* times) {
    struct stat st;
    if (!folder.IsOpen() || fstatat(static_cast<int>(folder.Native()), name.c_str(), &st, 0) != 0) {
        return std::nullopt;
    }
    if (times) *times = TimesOf(st);
    FolderId id;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    return id;
}

}  // namespace favpage
