// platform/posix/native_file_posix.cpp: raw file I/O and the replacing writer on POSIX.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/native_file.h"
#include "platform/posix/native_path.h"
#include "platform/posix/page_identity.h"
#include "platform/posix/pending_writes.h"

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

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
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

// Follows `path` through symbolic links, link by link, to the file it finally names, which need
// not exist (a dangling link): `exists` and `st` tell what is there. False for a loop or a link
// that cannot be read.
bool FollowLinks(std::string& path, struct stat& st, bool& exists) {
    for (int links = 0; links < 40; ++links) {  // the system's own limit
        if (lstat(path.c_str(), &st) != 0) {
            exists = false;
            return errno == ENOENT;
        }
        exists = true;
        if (!S_ISLNK(st.st_mode)) return true;
        std::string to(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
        const ssize_t n = readlink(path.c_str(), to.data(), to.size());
        if (n <= 0 || static_cast<size_t>(n) >= to.size()) return false;
        to.resize(static_cast<size_t>(n));
        path = to[0] == '/' ? to : Join(FolderOf(path), to);
    }
    return false;
}

// Opens the existing page for writing, which proves that this user may write it (the test a
// plain open for writing makes), and for reading where it may be read, to keep its old bytes.
int OpenPage(const std::string& path, bool& readable) {
    int fd;
    readable = true;
    do {
        fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EACCES) return fd;
    readable = false;
    do {
        fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Reads the whole file, from its start, into `bytes`.
bool ReadWhole(int fd, off_t sizeHint, std::vector<char>& bytes) {
    try {
        bytes.resize(static_cast<size_t>(sizeHint > 0 ? sizeHint : 0) + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {  // it grew since it was looked up
            try {
                bytes.resize(bytes.size() * 2);
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
        const ssize_t n = pread(fd, bytes.data() + have, bytes.size() - have,
                                static_cast<off_t>(have));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    bytes.resize(have);
    return true;
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

// The page is written in place, from its start; its old bytes are read first, so that a failed
// or interrupted run can put them back. A page that may be written but not read is emptied
// first, as a plain open for writing does, and cannot be restored.
FileHandle WriteInPlace(int page, bool readable, const struct stat& st, Replacement& r) {
    if (page < 0) return kNoFile;
    const bool kept = readable ? ReadWhole(page, st.st_size, r.old) : ftruncate(page, 0) == 0;
    if (!kept) {
        close(page);
        return kNoFile;
    }
    r.restorable = readable;
    r.temporary.clear();
    posix::InterruptsHeld held;
    r.pending = posix::NotePageInPlace(page, r.old.data(), r.old.size(), r.restorable);
    return page;
}

// Makes the temporary file in the open `folder`, readable and writable by this user only, and
// records it for an interrupt. Returns the descriptor, or -1 with `error` set.
int MakeTemporary(int folder, const std::string& folderPath, Replacement& r, int& error) {
    // One counter for every writer of the process, so two writers never pick the same name.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".favpage-%ld-%u.tmp", static_cast<long>(getpid()),
                      ++counter);
        posix::InterruptsHeld held;
        const int fd = openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                              0600);
        if (fd < 0) {
            error = errno;
            if (error == EEXIST || error == EINTR) continue;
            return -1;
        }
        r.temporary = Join(folderPath, name);
        r.pending = posix::NoteTemporaryFile(folder, name);
        return fd;
    }
    error = EEXIST;
    return -1;
}

void RemoveTemporary(Replacement& r) {
    posix::InterruptsHeld held;
    unlink(r.temporary.c_str());
    posix::Forget(r.pending);
    r.pending = -1;
}

}  // namespace

FileHandle BeginReplacement(const std::string& path, Replacement& r) {
    r = Replacement();
    if (path.empty() || path.back() == '/') return kNoFile;
    std::string target = path;
    struct stat st;
    bool exists = false;
    if (!FollowLinks(target, st, exists) || target.back() == '/') return kNoFile;
    r.target = target;
    r.existed = exists;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return kNoFile;
        if (posix::IsHiddenName(NameOf(path))) return kNoFile;  // hidden, as Windows refuses
        if (!S_ISREG(st.st_mode)) {
            // A device or pipe cannot be replaced, nor its bytes kept: written as it is.
            int fd;
            do {
                fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
            } while (fd < 0 && errno == EINTR);
            if (fd < 0) return kNoFile;
            r.flush = false;
            return fd;
        }
    }
    bool readable = false;
    const int page = exists ? OpenPage(target, readable) : -1;
    if (exists && page < 0) return kNoFile;

    const std::string folderPath = FolderOf(target);
    int folder;
    do {
        folder = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (folder < 0 && errno == EINTR);
    if (folder < 0 && errno == EACCES) {  // a folder that may be searched but not read
        folder = open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (folder < 0) {
        if (page >= 0) close(page);
        return kNoFile;
    }
    // A page with other names, or another user's, which only root could give back to its
    // owner: no replacement could be the same file. Anything else is tried.
    const bool replaceable =
        !exists || (st.st_nlink == 1 && (st.st_uid == geteuid() || geteuid() == 0));
    if (replaceable) {
        int error = 0;
        const int fd = MakeTemporary(folder, folderPath, r, error);
        if (fd >= 0) {
            const bool same = exists ? posix::TakeOverIdentity(page, st, fd)
                                     : fchmod(fd, posix::NewFileMode(folderPath)) == 0;
            if (same) {
                if (page >= 0) close(page);
                r.folder = folder;
                return fd;
            }
            close(fd);
            RemoveTemporary(r);
        } else if (!exists || (error != EACCES && error != EPERM)) {
            // No space, no inode, a name too long: refused before the page is touched.
            if (page >= 0) close(page);
            close(folder);
            return kNoFile;
        }
    }
    close(folder);
    return WriteInPlace(page, readable, st, r);
}

bool FinishReplacement(FileHandle file, Replacement& r) {
    const int fd = Fd(file);
    bool ok = true;
    if (r.temporary.empty()) {
        if (r.flush) {
            posix::InterruptsHeld held;
            const off_t written = lseek(fd, 0, SEEK_CUR);
            ok = written >= 0 && ftruncate(fd, written) == 0 && FlushToDisk(fd);
            if (!ok && r.restorable) {
                posix::PutBack(fd, r.old.data(), r.old.size(), written);
                FlushToDisk(fd);
            }
            posix::Forget(r.pending);
            r.pending = -1;
        }
        if (close(fd) != 0) ok = false;
        return ok;
    }
    ok = !r.flush || FlushToDisk(fd);
    if (close(fd) != 0) ok = false;
    {
        posix::InterruptsHeld held;
        if (ok) ok = rename(r.temporary.c_str(), r.target.c_str()) == 0;
        if (!ok) unlink(r.temporary.c_str());
        posix::Forget(r.pending);
        r.pending = -1;
    }
    // The rename itself reaches the disk with the folder. The new page is in place whatever
    // this answers, so there is nothing left to report.
    if (ok) FlushToDisk(static_cast<int>(r.folder));
    close(static_cast<int>(r.folder));
    r.folder = -1;
    return ok;
}

void AbandonReplacement(FileHandle file, Replacement& r) {
    const int fd = Fd(file);
    if (r.temporary.empty()) {
        {
            posix::InterruptsHeld held;
            if (r.restorable) {
                posix::PutBack(fd, r.old.data(), r.old.size(), lseek(fd, 0, SEEK_CUR));
                FlushToDisk(fd);
            }
            posix::Forget(r.pending);
            r.pending = -1;
        }
        CloseFile(file);
        return;
    }
    CloseFile(file);
    RemoveTemporary(r);
    close(static_cast<int>(r.folder));
    r.folder = -1;
}

}  // namespace favpage::native
