// tests/wine_desktop.cpp: holds Wine's desktop for a whole run of the Windows tests.
//
// Wine starts a desktop process for the first program that makes a window and ends it a moment
// after the last such program has ended, so a run of tests would start one for nearly every test.
// When that process is slow to come up (a loaded machine, a new prefix), Wine stops waiting for
// it and the program that asked has no display driver for the rest of its life: every window it
// makes fails, favpage's first one included, and so does the box that would report it. This
// program makes one hidden window, says "ready" once it exists, and then stays until the run's
// Wine server ends it, so the desktop comes up once, before any test, and stays up. It prints
// what went wrong and exits 1 when it could make no window: a new try then starts afresh.
#include <windows.h>

#include <cstdio>

int main() {
    HWND window = CreateWindowExW(0, L"STATIC", L"favpage tests: desktop", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        std::printf("no window, error %lu\n", GetLastError());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
