// platform/posix/native_file_posix.cpp: raw file I/O and the replacing writer on POSIX.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/native_file.h"
#include "platform/posix/native_path.h"

namespace favpage::native {

namespace {

int Fd(FileHandle f) { return static_cast<int>(f); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

FileHandle OpenKnownForReading(const FolderHandle& folder, const std::string& name) {
    if (!folder.IsOpen() || name.find('/') != std::string::npos) return kNoFile;
    int fd;
    do {
        fd = openat(static_cast<int>(folder.Native()), name.c_str(),
                    O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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

namespace {

int OpenExistingForWriting(const std::string& path) {
    int fd;
    do {
        fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// A sticky folder lets only the owner of an entry, the owner of the folder and root rename
// over it: anyone else's temporary file could be made but never moved into place.
bool RenameOverIsRefused(const struct stat& target, const struct stat& folder) {
    const uid_t me = geteuid();
    return (folder.st_mode & S_ISVTX) != 0 && me != 0 && target.st_uid != me &&
           folder.st_uid != me;
}

// Puts the bytes written so far on the disk. A file system that cannot flush (EINVAL) keeps
// nothing it could lose; every other error means the bytes may not be there.
bool FlushToDisk(int fd) {
    for (;;) {
        if (fsync(fd) == 0) return true;
        if (errno == EINTR) continue;
        return errno == EINVAL || errno == EROFS;
    }
}

// The page is written in place: the old contents go first, as a plain open for writing does.
FileHandle WriteInPlace(int fd, const std::string& target, Replacement& r) {
    if (ftruncate(fd, 0) != 0) {
        close(fd);
        return kNoFile;
    }
    r.target = target;
    r.existed = true;
    return fd;
}

}  // namespace

FileHandle BeginReplacement(const std::string& path, Replacement& r) {
    r = Replacement();
    std::string target = path;
    if (target.empty() || target.back() == '/') return kNoFile;

    struct stat st;
    const bool exists = stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return kNoFile;
    int existing = -1;  // the target, open for writing: proof that this user may write it
    if (exists) {
        if (S_ISDIR(st.st_mode)) return kNoFile;
        if (posix::IsHiddenName(NameOf(target))) return kNoFile;  // hidden, as Windows refuses
        if (!S_ISREG(st.st_mode)) {
            // A device or pipe cannot be replaced; it is written in place, as it is.
            const int fd = OpenExistingForWriting(target);
            if (fd < 0) return kNoFile;
            r.target = target;
            r.existed = true;
            r.flush = false;
            return fd;
        }
        // Replace the file a symbolic link points to, not the link itself.
        struct stat lst;
        if (lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
            char* resolved = realpath(target.c_str(), nullptr);
            if (!resolved) return kNoFile;
            target = resolved;
            free(resolved);
        }
        // Not the permission bits: whether the system lets this user open the page for writing.
        existing = OpenExistingForWriting(target);
        if (existing < 0) return kNoFile;
    }

    const std::string folder = FolderOf(target);
    struct stat dst;
    if (stat(folder.c_str(), &dst) != 0 || !S_ISDIR(dst.st_mode)) {
        if (existing >= 0) close(existing);
        return kNoFile;
    }
    if (exists && RenameOverIsRefused(st, dst)) return WriteInPlace(existing, target, r);

    // The temporary file sits beside the target, so the final rename stays on one file system.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "/.favpage-%ld-%u.tmp", static_cast<long>(getpid()),
                      ++counter);
        const std::string temporary = (folder == "/" ? std::string() : folder) + name;
        const int fd = open(temporary.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0) {
            if (errno == EEXIST || errno == EINTR) continue;
            break;
        }
        r.target = target;
        r.temporary = temporary;
        r.existed = exists;
        if (exists) {
            close(existing);
            // The new page keeps the old one's owner, group and permission bits. Best effort:
            // only root may give a file away, and a failure changes nothing else.
            if (fchown(fd, st.st_uid, st.st_gid) != 0) {
                if (fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) { /* keep our group */ }
            }
            if (fchmod(fd, st.st_mode & 07777) != 0) { /* keep the default permissions */ }
        }
        return fd;
    }
    // No file can be made beside the page, but the page itself may be written.
    if (existing >= 0) return WriteInPlace(existing, target, r);
    return kNoFile;
}

bool FinishReplacement(FileHandle file, const Replacement& r) {
    bool ok = !r.flush || FlushToDisk(Fd(file));
    if (close(Fd(file)) != 0) ok = false;
    if (r.temporary.empty()) return ok;
    if (ok) ok = rename(r.temporary.c_str(), r.target.c_str()) == 0;
    if (!ok) {
        unlink(r.temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder. The new page is in place whatever
    // this answers, so there is nothing left to report.
    const int folder = open(FolderOf(r.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        FlushToDisk(folder);
        close(folder);
    }
    return true;
}

void AbandonReplacement(FileHandle file, const Replacement& r) {
    CloseFile(file);
    if (!r.temporary.empty()) unlink(r.temporary.c_str());
}

}  // namespace favpage::native
