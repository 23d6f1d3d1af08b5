// bench/probe.cpp: what the disk can give a conversion: every folder of a tree listed and every
// ".url" file in it read (its first 64 KiB), by many threads at once in no order. No page, no
// sort, no parsing: the limit a cold conversion can approach, printed beside it by run.sh.
// usage: probe TREE [THREADS]   (64 threads by default); prints the number of files read.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex g_mutex;
std::condition_variable g_work;
std::deque<std::string> g_folders;  // folders still to list
size_t g_busy = 0;                  // threads listing a folder
size_t g_files = 0;

bool EndsWithUrl(const char* name) {
    const size_t n = std::strlen(name);
    return n >= 4 && std::strcmp(name + n - 4, ".url") == 0;
}

void Work() {
    std::vector<char> buffer(64 * 1024);
    std::unique_lock<std::mutex> lock(g_mutex);
    for (;;) {
        g_work.wait(lock, [] { return !g_folders.empty() || g_busy == 0; });
        if (g_folders.empty()) return;  // nothing left and nobody who could add more
        const std::string folder = std::move(g_folders.front());
        g_folders.pop_front();
        ++g_busy;
        lock.unlock();
        size_t files = 0;
        std::vector<std::string> subFolders;
        if (DIR* dir = opendir(folder.c_str())) {
            const int fd = dirfd(dir);
            while (const dirent* e = readdir(dir)) {
                if (e->d_name[0] == '.') continue;
                if (e->d_type == DT_DIR) {
                    subFolders.push_back(folder + "/" + e->d_name);
                } else if (EndsWithUrl(e->d_name)) {
                    const int file = openat(fd, e->d_name, O_RDONLY | O_CLOEXEC);
                    if (file < 0) continue;
                    if (read(file, buffer.data(), buffer.size()) >= 0) ++files;
                    close(file);
                }
            }
            closedir(dir);
        }
        lock.lock();
        for (std::string& s : subFolders) g_folders.push_back(std::move(s));
        g_files += files;
        --g_busy;
        g_work.notify_all();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: probe TREE [THREADS]\n");
        return 2;
    }
    const unsigned threads = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 64;
    g_folders.push_back(argv[1]);
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) workers.emplace_back(Work);
    for (std::thread& t : workers) t.join();
    std::printf("%zu\n", g_files);
    return 0;
}
