// tests/e2e/favpage/driver.h: starts favpage.exe and works its window from outside, as a user would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Text in these tests is UTF-8; the windows, files and registry are asked through the wide calls.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The built program, as a Windows path.
std::string FavpageExe();

// Polls `done` until it holds or `ms` milliseconds pass; true when it held.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 15000);

// Window text read through WM_GETTEXT, which works across processes.
std::string TextOf(HWND window);

// Whether two texts are the same but for case, in any script (paths as Windows compares them).
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// Top-level windows of one process, visible or not.
std::vector<HWND> TopLevelWindows(DWORD processId);

// What a process shows, for failure messages: each of its top-level windows with its class,
// whether it is visible, its text and its children (a message box's message among them), and
// then whether it still runs or the code it exited with.
std::string DescribeProcess(HANDLE process, DWORD processId);

// One running favpage.exe.
class Favpage {
public:
    struct Options {
        int showCommand = SW_SHOWNORMAL;
        std::string exe;         // defaults to FavpageExe()
        std::string workingDir;  // defaults to the test's own
    };
    Favpage();
    explicit Favpage(const Options& options);
    ~Favpage();  // ends the process if a test left it running
    Favpage(const Favpage&) = delete;
    Favpage& operator=(const Favpage&) = delete;

    DWORD ProcessId() const { return m_info.dwProcessId; }
    HWND Frame() const { return m_frame; }
    HWND Dialog() const { return m_dialog; }
    HWND Control(int id) const { return GetDlgItem(m_dialog, id); }
    std::string FieldText(int id) const { return TextOf(Control(id)); }
    // The status line of the view: the static control that is none of the three fixed labels.
    HWND StatusLine() const;
    std::string Status() const { return TextOf(StatusLine()); }

    // Types text into a field one character (UTF-16 unit) at a time, as the keyboard would.
    void Type(int fieldId, const std::string& text);
    // Replaces a field's text (select all, then type).
    void Retype(int fieldId, const std::string& text);
    // Presses a button of the dialog; returns at once (the handler may open a modal box).
    void Press(int buttonId);
    // Presses "Start Conversion" where no question will come, and returns the status it ends with.
    std::string RunConversion();
    // Sends a key to the focused control through the program's own message loop.
    void Key(HWND target, UINT virtualKey);
    // Returns once the program's thread has handled everything sent before.
    bool Settle(DWORD ms = 30000) const;

    // A modal window of this process with this caption, once it is shown.
    HWND WaitForWindow(const std::string& caption, DWORD ms = 15000) const;
    // Waits for the status text to leave `previous` and returns the new one.
    std::string WaitForStatusChange(const std::string& previous, DWORD ms = 30000) const;

    // Waits for the process to end; returns its exit code, or -2 on timeout.
    long WaitForExit(DWORD ms = 20000);

private:
    void Start(const Options& options);

    PROCESS_INFORMATION m_info{};
    HWND m_frame = nullptr;
    HWND m_dialog = nullptr;
    bool m_exited = false;
};

// Presses a button (IDYES, IDNO, IDOK, ...) of a message box or dialog of another process.
void Answer(HWND box, int buttonId);
// Whether a message box shows an icon (an icon control that holds one).
bool MessageBoxHasIcon(HWND box);
// The text of a message box (its static control with id 0xFFFF).
std::string MessageBoxText(HWND box);

}  // namespace e2e
