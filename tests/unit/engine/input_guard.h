// tests/unit/engine/input_guard.h: proof that a run left its input tree exactly as it found it.
#pragma once
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace favpage::testing {

// What is recorded of one entry: a change to any of it fails the guard. The change time moves
// with every write, truncation, chmod, chown or link made to the entry and cannot be set back,
// so even a change undone with the old bytes and times is caught. Access times are left out:
// reading is allowed.
struct TreeEntry {
    mode_t mode = 0;  // type and permission bits
    uint64_t size = 0;
    int64_t mtime = 0;  // nanoseconds
    int64_t ctime = 0;
    uint64_t sum = 0;     // of the bytes (regular files), or of the target (links)
    bool unreadable = false;
    bool operator==(const TreeEntry& o) const {
        return mode == o.mode && size == o.size && mtime == o.mtime && ctime == o.ctime &&
               sum == o.sum && unreadable == o.unreadable;
    }
    bool operator!=(const TreeEntry& o) const { return !(*this == o); }
};

// Every entry below a folder, by its path relative to it ("" is the folder itself).
using TreeSnapshot = std::map<std::string, TreeEntry>;

namespace guard_detail {

inline uint64_t Fnv(uint64_t h, const char* data, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 1099511628211ull;
    }
    return h;
}

inline int64_t Nanoseconds(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The checksum of a file's data, region by region: holes are skipped (a sparse file of
// gigabytes costs nothing) but their place is in the sum through each region's offset.
inline bool SumFile(int fd, uint64_t size, uint64_t& sum) {
    sum = 14695981039346656037ull;
    static char buffer[1 << 16];
    off_t at = 0;
    while (static_cast<uint64_t>(at) < size) {
        off_t data = lseek(fd, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break;  // only a hole is left
            data = at;                  // no hole support: read everything
        }
        off_t hole = lseek(fd, data, SEEK_HOLE);
        if (hole < 0) hole = static_cast<off_t>(size);
        sum = Fnv(sum, reinterpret_cast<const char*>(&data), sizeof data);
        for (off_t pos = data; pos < hole;) {
            const ssize_t n = pread(fd, buffer, static_cast<size_t>(std::min<off_t>(hole - pos, sizeof buffer)), pos);
            if (n < 0) return false;
            if (n == 0) break;
            sum = Fnv(sum, buffer, static_cast<size_t>(n));
            pos += n;
        }
        at = hole;
    }
    return true;
}

// Records the entry at `at` (relative to the folder `base`, or a plain path with AT_FDCWD)
// under the name `rel` and, for a folder, everything below it. Once the path grows long the
// folder itself becomes the base, so trees deeper than any path allows are recorded whole while
// only a few folders are held open at a time.
inline void Record(int base, const std::string& at, const std::string& rel, TreeSnapshot& out) {
    struct stat st;
    if (fstatat(base, at.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
    TreeEntry e;
    e.mode = st.st_mode;
    e.size = static_cast<uint64_t>(st.st_size);
    e.mtime = Nanoseconds(st.st_mtim);
    e.ctime = Nanoseconds(st.st_ctim);
    if (S_ISLNK(st.st_mode)) {
        std::string target(4096, '\0');
        const ssize_t n = readlinkat(base, at.c_str(), target.data(), target.size());
        if (n >= 0) e.sum = Fnv(14695981039346656037ull, target.data(), static_cast<size_t>(n));
    } else if (S_ISREG(st.st_mode) && st.st_size > 0) {
        const int fd = openat(base, at.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        e.unreadable = fd < 0 || !SumFile(fd, e.size, e.sum);
        if (fd >= 0) close(fd);
    } else if (S_ISDIR(st.st_mode)) {
        constexpr int kOpenDir = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
        std::vector<std::string> names;
        const int fd = openat(base, at.c_str(), kOpenDir);
        DIR* d = fd >= 0 ? fdopendir(fd) : nullptr;
        e.unreadable = d == nullptr;
        if (!d && fd >= 0) close(fd);
        if (d) {
            while (const dirent* de = readdir(d)) {
                const std::string child = de->d_name;
                if (child != "." && child != "..") names.push_back(child);
            }
            closedir(d);
        }
        int childBase = base;
        std::string prefix = at + "/";
        const int own = at.size() > 2048 ? openat(base, at.c_str(), kOpenDir) : -1;
        if (own >= 0) {
            childBase = own;
            prefix.clear();
        }
        for (const std::string& name : names) {
            Record(childBase, prefix + name, rel.empty() ? name : rel + "/" + name, out);
        }
        if (own >= 0) close(own);
    }
    out[rel] = e;
}

}  // namespace guard_detail

// Records the tree at `path`; an empty snapshot when nothing is there.
inline TreeSnapshot SnapshotTree(const std::string& path) {
    TreeSnapshot snapshot;
    guard_detail::Record(AT_FDCWD, path, "", snapshot);
    return snapshot;
}

// What differs between two snapshots, one line per entry; empty when they are the same.
inline std::string TreeDifferences(const TreeSnapshot& before, const TreeSnapshot& after) {
    std::string out;
    for (const auto& [rel, e] : before) {
        const auto it = after.find(rel);
        if (it == after.end()) {
            out += "  removed: " + rel + "\n";
        } else if (it->second != e) {
            out += "  changed: " + rel + "\n";
        }
    }
    for (const auto& [rel, e] : after) {
        if (!before.count(rel)) out += "  added: " + rel + "\n";
    }
    return out;
}

// Records a run's input tree when made and fails the running test when, at its end, anything in
// the tree changed: a shortcut file or any other entry, its bytes, size, times of change or mode,
// or an entry that came or went.
class InputGuard {
public:
    explicit InputGuard(std::string folder)
        : m_folder(std::move(folder)), m_before(SnapshotTree(m_folder)) {}
    ~InputGuard() {
        const std::string diff = TreeDifferences(m_before, SnapshotTree(m_folder));
        if (!diff.empty()) ADD_FAILURE() << "the run changed its input " << m_folder << ":\n" << diff;
    }
    InputGuard(const InputGuard&) = delete;
    InputGuard& operator=(const InputGuard&) = delete;

    size_t EntryCount() const { return m_before.size(); }

private:
    std::string m_folder;
    TreeSnapshot m_before;
};

}  // namespace favpage::testing
