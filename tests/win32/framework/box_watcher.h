// tests/win32/framework/box_watcher.h: answers a message box of this process from a second
// thread, so that a test never waits on a box forever.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Looks for a dialog-class window with `caption` until it appears or `timeoutMs` passes, reads
// its texts and visible buttons, and presses button `answer`.
class BoxWatcher {
public:
    BoxWatcher(std::string caption, int answer, DWORD timeoutMs = 20000);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Waits for the watcher to finish; true when the box was seen and answered.
    bool Wait();
    // The texts of the box's static controls, joined with '|'.
    const std::string& Text() const { return m_text; }
    // Ids of the box's visible buttons.
    const std::vector<int>& Buttons() const { return m_buttons; }
    bool HasIcon() const { return m_hasIcon; }

private:
    void Watch();

    std::string m_caption;
    int m_answer;
    DWORD m_timeoutMs;
    std::atomic<bool> m_seen{false};
    std::string m_text;
    std::vector<int> m_buttons;
    bool m_hasIcon = false;
    std::thread m_thread;
};

// Runs `app`-style loops safely: a timer that ends the current message loop with `status` after
// `timeoutMs`, in case a test's own script never gets there.
UINT_PTR StartLoopDeadline(DWORD timeoutMs, int status);
void StopLoopDeadline(UINT_PTR timer);
