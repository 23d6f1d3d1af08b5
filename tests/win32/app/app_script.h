// tests/win32/app/app_script.h: runs the program's entry in this process and works it from a
// timer inside its own message loops (menu loops and message boxes included), step by step.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class favpage2App;
class TStatusBar;

class AppScript {
public:
    // A step returns true when it is done; until then it is asked again at the next tick.
    using Step = std::function<bool()>;

    AppScript& Then(Step step);
    AppScript& Do(std::function<void()> action);

    // Runs the program through its entry with `cmdShow` and returns the entry's result (the exit
    // code). A script that has not finished within `deadlineMs` ends the loop with 99.
    int Run(int cmdShow = SW_SHOWNORMAL, DWORD deadlineMs = 20000);
    // The same around any code that runs message loops.
    int RunWith(const std::function<int()>& body, DWORD deadlineMs = 20000);

    bool Finished() const { return m_next == m_steps.size(); }
    // Which step the script stopped at, for failure messages.
    std::string Where() const;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_inStep = false;
    DWORD m_deadline = 0;
    bool m_timedOut = false;
};

// What a message box showed.
struct BoxContents {
    bool seen = false;
    std::string text;           // its message
    std::vector<int> buttons;   // ids of its visible buttons
    bool hasIcon = false;
};

// A step that answers the message box of this thread captioned `caption` with button `answer`,
// once the box is up (the step runs inside the box's own loop), and records what it showed.
AppScript::Step AnswerBox(const char* caption, int answer, BoxContents& seen);

// The running program's parts (valid inside a script's steps).
favpage2App& App();
HWND Frame();
HWND Client();
TStatusBar& Bar();

// Keys as the keyboard driver would report them, posted to the thread's queue.
void PostKey(HWND target, UINT virtualKey, bool alt = false);
