// bench/drop_cache.cpp: empties the system's cache of a tree's files, so that the next run reads
// them from the disk, as the first run after a start-up does.
// usage: drop_cache TREE
// As root the whole page cache is dropped (sync, then /proc/sys/vm/drop_caches), which takes the
// folders' and the files' metadata too. Otherwise each file and folder of the tree is asked to
// leave the cache (posix_fadvise POSIX_FADV_DONTNEED), which needs no privilege but leaves the
// system's cache of names and inodes as it was.
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <cstdio>

namespace {

int Drop(const char* path, const struct stat*, int type, struct FTW*) {
    if (type != FTW_F && type != FTW_D) return 0;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: drop_cache TREE\n");
        return 2;
    }
    sync();
    if (geteuid() == 0) {
        if (FILE* f = std::fopen("/proc/sys/vm/drop_caches", "w")) {
            const bool dropped = std::fputs("3\n", f) >= 0;
            if (std::fclose(f) == 0 && dropped) return 0;
        }
    }
    return nftw(argv[1], Drop, 64, FTW_PHYS) == 0 ? 0 : 1;
}
