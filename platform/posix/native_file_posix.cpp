// platform/posix/native_file_posix.cpp: raw file I/O and the page writer's primitives on POSIX.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/native_file.h"
#include "platform/posix/page_identity_posix.h"
#include "text/path.h"

namespace favpage::native {

namespace {

int Fd(FileHandle f) { return static_cast<int>(f); }

}  // namespace

// Both read opens are non-blocking, so a named pipe in a folder cannot stall the walk; for
// regular files the flag changes nothing.
FileHandle OpenForReading(const std::string& path, uint64_t& size) {
    const std::string& p = path;
    int fd;
    do {
        fd = open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return kNoFile;
    struct stat st;
    // open() accepts a directory for reading; a text file must not be one.
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return kNoFile;
    }
    // Devices and pipes have no length: read them until they end.
    size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : UINT64_MAX;
    return fd;
}

FileHandle OpenKnownForReading(const std::string& path) {
    const std::string& p = path;
    int fd;
    do {
        fd = open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? kNoFile : fd;
}

FileHandle OpenKnownForReading(const FolderHandle& folder, const DirEntry& entry) {
    const std::string& name = entry.name;
    if (!folder.IsOpen() || name.find('/') != std::string::npos) return kNoFile;
    const int flags =
        O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (entry.plainFile ? O_NOFOLLOW : 0);
    int fd;
    do {
        fd = openat(static_cast<int>(folder.Native()), name.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? kNoFile : fd;
}

FileHandle CreateForWriting(const std::string& path) {
    const std::string& p = path;
    struct stat st;
    if (stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kNoFile;
    int fd;
    do {
        fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? kNoFile : fd;
}

long ReadBytes(FileHandle file, char* buffer, size_t count) {
    for (;;) {
        const ssize_t n = read(Fd(file), buffer, count);
        if (n >= 0) return static_cast<long>(n);
        if (errno != EINTR) return -1;
    }
}

bool WriteBytes(FileHandle file, const char* data, size_t count) {
    while (count > 0) {
        const ssize_t n = write(Fd(file), data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool CloseFile(FileHandle file) {
    if (file == kNoFile) return true;
    // No retry on EINTR: the descriptor is gone either way on Linux.
    return close(Fd(file)) == 0;
}

bool SeekTo(FileHandle file, uint64_t offset) {
    return lseek(Fd(file), static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

int64_t Position(FileHandle file) { return lseek(Fd(file), 0, SEEK_CUR); }

bool Truncate(FileHandle file, uint64_t length) {
    for (;;) {
        if (ftruncate(Fd(file), static_cast<off_t>(length)) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// A file system that cannot flush (EINVAL) keeps nothing it could lose; every other error means
// the bytes may not be there.
bool Flush(FileHandle file) {
    for (;;) {
        if (fsync(Fd(file)) == 0) return true;
        if (errno == EINTR) continue;
        return errno == EINVAL || errno == EROFS;
    }
}

namespace {

// The kernel follows at most this many links in one lookup.
constexpr int kMaxLinks = 40;

// A descriptor closed by its destructor.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

template <class Open>
int Retried(Open open) {
    int fd;
    do {
        fd = open();
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Opens the folder `path` (relative to `at`) as the kernel finds it, its own rules applied to
// every link on the way: for reading, or, where it may be searched but not read, as a path.
int OpenFolder(int at, const std::string& path) {
    const int fd = Retried([&] { return openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd >= 0 || errno != EACCES) return fd;
    return openat(at, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// The sticky-folder protection `name` (symlinks, regular, fifos) as this machine has it set; on
// where it cannot be read, as most systems have it.
int Protection(const char* name) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/sys/fs/protected_%s", name);
    const int fd = Retried([&] { return open(path, O_RDONLY | O_CLOEXEC); });
    if (fd < 0) return 1;
    char value[8] = {};
    const ssize_t n = read(fd, value, sizeof value - 1);
    close(fd);
    return n > 0 && value[0] >= '0' && value[0] <= '9' ? value[0] - '0' : 1;
}

// Whether the kernel follows the link `link`, found in the folder `folder`, for this user
// (protected_symlinks): not out of a sticky folder anyone may write, unless the link is this
// user's or the folder's owner's.
bool MayFollow(const struct stat& folder, const struct stat& link) {
    if (!(folder.st_mode & S_ISVTX) || !(folder.st_mode & S_IWOTH)) return true;
    if (link.st_uid == geteuid() || link.st_uid == folder.st_uid) return true;
    return Protection("symlinks") == 0;
}

// Whether a plain open for writing (which creates a missing file) may open the existing `file`
// in `folder` (protected_regular, protected_fifos): not another user's regular file or pipe in
// a sticky folder anyone may write (at level 2: its group too), unless it is the folder owner's.
bool MayOpenInSticky(const struct stat& folder, const struct stat& file) {
    if (!(folder.st_mode & S_ISVTX)) return true;
    if (!S_ISREG(file.st_mode) && !S_ISFIFO(file.st_mode)) return true;
    if (file.st_uid == folder.st_uid || file.st_uid == geteuid()) return true;
    const int level = Protection(S_ISREG(file.st_mode) ? "regular" : "fifos");
    if (level == 0) return true;
    if (folder.st_mode & S_IWOTH) return false;
    return !(level >= 2 && (folder.st_mode & S_IWGRP));
}

// Follows the name `name` of the open `folder` through symbolic links, as the kernel would for
// a plain open for writing, to the entry it finally names, which need not exist (a dangling
// link): `folder` and `name` become that entry's, `exists` and `st` tell what is there. False
// where the kernel would refuse to follow, or the system cannot tell what is there.
bool FollowLinks(Descriptor& folder, std::string& name, struct stat& st, bool& exists) {
    for (int links = 0;; ++links) {
        if (fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            exists = false;
            return errno == ENOENT;  // anything else: cannot tell, never "no page"
        }
        exists = true;
        if (!S_ISLNK(st.st_mode)) return true;
        struct stat here;
        if (links == kMaxLinks || fstat(folder.Get(), &here) != 0 || !MayFollow(here, st)) {
            return false;
        }
        std::string to(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
        const ssize_t n = readlinkat(folder.Get(), name.c_str(), to.data(), to.size());
        if (n <= 0 || static_cast<size_t>(n) >= to.size()) return false;
        to.resize(static_cast<size_t>(n));
        if (to.back() == '/') return false;  // a folder, or nothing
        const size_t slash = to.rfind('/');
        name = slash == std::string::npos ? to : to.substr(slash + 1);
        if (slash != std::string::npos) {
            const std::string in = slash == 0 ? "/" : to.substr(0, slash);
            Descriptor next(OpenFolder(folder.Get(), in));  // an absolute path ignores `folder`
            if (next.Get() < 0) return false;
            folder = std::move(next);
        }
    }
}

}  // namespace

bool OpenPage(const std::string& path, PagePlace& place, PageFacts& facts, File& page) {
    if (path.empty() || path.back() == '/') return false;
    Descriptor folder(OpenFolder(AT_FDCWD, FolderOf(path)));
    if (folder.Get() < 0) return false;
    std::string name(LastName(path));
    struct stat st;
    bool exists = false;
    if (!FollowLinks(folder, name, st, exists)) return false;
    facts = PageFacts();
    if (exists) {
        if (S_ISDIR(st.st_mode)) return false;
        if (IsHiddenName(LastName(path))) return false;  // hidden, as Windows refuses
        struct stat here;
        if (fstat(folder.Get(), &here) != 0 || !MayOpenInSticky(here, st)) return false;
        const int at = folder.Get();
        constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        Descriptor fd;
        if (S_ISREG(st.st_mode)) {
            // Opened for writing, which proves that this user may write it, and for reading
            // where it may be read, to keep its old bytes.
            facts.kind = PageFacts::Kind::Regular;
            facts.readable = true;
            fd = Descriptor(Retried([&] { return openat(at, name.c_str(), O_RDWR | kFlags); }));
            if (fd.Get() < 0 && errno == EACCES) {
                facts.readable = false;
                fd = Descriptor(Retried([&] { return openat(at, name.c_str(), O_WRONLY | kFlags); }));
            }
        } else {
            // A device or a pipe, opened without waiting: a pipe nobody reads is refused.
            facts.kind = PageFacts::Kind::Device;
            fd = Descriptor(Retried([&] { return openat(at, name.c_str(), O_WRONLY | kFlags); }));
            const int flags = fd.Get() >= 0 ? fcntl(fd.Get(), F_GETFL) : -1;
            if (flags < 0 || fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return false;
        }
        struct stat now;
        // Still the file that was looked at, not one put in its place since.
        if (fd.Get() < 0 || fstat(fd.Get(), &now) != 0 || now.st_dev != st.st_dev ||
            now.st_ino != st.st_ino) {
            return false;
        }
        facts.names = static_cast<uint32_t>(now.st_nlink);
        facts.yours = now.st_uid == geteuid() || geteuid() == 0;  // only root gives files away
        facts.size = S_ISREG(now.st_mode) ? static_cast<uint64_t>(now.st_size) : 0;
        page = File(fd.Release());
    }
    place.folder = folder.Release();
    place.name = name;
    return true;
}

File CreatePrivate(const PagePlace& place, const PageFacts&, SystemName& name,
                   bool& folderRefuses) {
    // One counter for every writer of the process, so two writers never pick the same name.
    static std::atomic<unsigned> counter{0};
    folderRefuses = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char made[64];
        std::snprintf(made, sizeof made, ".favpage-%ld-%u.tmp", static_cast<long>(getpid()),
                      ++counter);
        const int fd = openat(static_cast<int>(place.folder), made,
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd >= 0) {
            name = made;
            return File(fd);
        }
        if (errno == EEXIST || errno == EINTR) continue;
        folderRefuses = errno == EACCES || errno == EPERM;
        return File();
    }
    return File();
}

bool CopyIdentity(const PagePlace& place, const PageFacts& facts, const File& page,
                  const File& temporary, const SystemName&) {
    const int fd = static_cast<int>(temporary.Get());
    if (facts.kind == PageFacts::Kind::Missing) {
        return fchmod(fd, posix::NewFileMode(static_cast<int>(place.folder))) == 0;
    }
    struct stat st;
    return fstat(static_cast<int>(page.Get()), &st) == 0 &&
           posix::TakeOverIdentity(static_cast<int>(page.Get()), st, fd);
}

bool MoveIntoPlace(const PagePlace& place, const PageFacts&, File& temporary,
                   const SystemName& name) {
    const int folder = static_cast<int>(place.folder);
    if (!temporary.Close() ||
        renameat(folder, name.c_str(), folder, place.name.c_str()) != 0) {
        return false;
    }
    // The move itself reaches the disk with the folder. The new page is in place whatever this
    // answers (a folder held as a path only cannot be flushed), so there is nothing to report.
    fsync(folder);
    return true;
}

void RemoveTemporary(const PagePlace& place, const SystemName& name) {
    unlinkat(static_cast<int>(place.folder), name.c_str(), 0);
}

}  // namespace favpage::native
