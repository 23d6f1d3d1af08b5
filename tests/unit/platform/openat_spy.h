// tests/unit/platform/openat_spy.h: watches the program's openat() calls, from whichever thread.
// Defines openat itself, in place of the C library's: include it from one file of a test program.
#pragma once
#include <cstdarg>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

// While a test points these at lists, the name of every file the program opens with openat() (as
// the walk opens each file in its open folder), and the mode of every file it creates so, are
// recorded there before the call is made.
std::vector<std::string>* g_opened = nullptr;
std::vector<mode_t>* g_createModes = nullptr;
std::mutex g_openatMutex;

extern "C" int openat(int dir, const char* path, int flags, ...) {
    mode_t mode = 0;
    const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    if (creates) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, unsigned));
        va_end(args);
    }
    if (g_opened || g_createModes) {
        std::lock_guard<std::mutex> lock(g_openatMutex);
        if (g_opened) g_opened->push_back(path);
        if (g_createModes && creates) g_createModes->push_back(mode);
    }
    return static_cast<int>(syscall(SYS_openat, dir, path, flags, mode));
}
