// tests/e2e/favpage/driver.cpp: process start, window lookup and input for the end-to-end tests.
#include "tests/e2e/favpage/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace e2e {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr,
                        nullptr);
    return utf8;
}

std::string FavpageExe() {
    std::string path = FAVPAGE_EXE;
    // The build tree is a Unix path; Wine shows the Unix root as drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(15);
    }
}

std::string TextOf(HWND window) {
    if (!window) return "<no window>";
    wchar_t buffer[2048] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(buffer), reinterpret_cast<LPARAM>(buffer),
                             SMTO_NORMAL, 10000, &copied))
        return "<no answer>";
    return Utf8(std::wstring(buffer, std::min<size_t>(copied, ARRAYSIZE(buffer) - 1)));
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    const std::wstring wa = Wide(a), wb = Wide(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == s->pid) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

static std::string ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, ARRAYSIZE(name));
    return Utf8(name);
}

// One line for a window and one for each of its children, theirs below them, `depth` deep.
static std::string DescribeWindow(HWND window, const std::string& indent, int depth) {
    char style[16];
    std::snprintf(style, sizeof style, "%08lx", static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
    std::string line = "\n" + indent + "\"" + ClassOf(window) + "\" id " +
                       std::to_string(GetDlgCtrlID(window)) + " style " + style +
                       (IsWindowVisible(window) ? " shown" : " not shown") + ", text \"" +
                       TextOf(window) + "\"";
    if (depth > 0)
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            line += DescribeWindow(c, indent + "  ", depth - 1);
    return line;
}

std::string DescribeProcess(HANDLE process, DWORD processId) {
    const std::vector<HWND> windows = TopLevelWindows(processId);
    std::string report = std::to_string(windows.size()) + " top-level window(s)";
    // The children say what a window is: a message box's message is its static 0xFFFF, the
    // frame's are the view and its controls.
    for (HWND w : windows) report += DescribeWindow(w, "  ", 2);
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code))
        report += "\nexit code unknown, error " + std::to_string(GetLastError());
    else if (code == STILL_ACTIVE && WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
        report += "\nthe process still runs";
    else
        report += "\nthe process exited with code " + std::to_string(static_cast<LONG>(code));
    return report;
}

Favpage::Favpage() : Favpage(Options{}) {}

Favpage::Favpage(const Options& options) { Start(options); }

Favpage::~Favpage() {
    if (m_info.hProcess) {
        if (!m_exited && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_info.hProcess, 99);
            WaitForSingleObject(m_info.hProcess, 10000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
}

void Favpage::Start(const Options& options) {
    std::string exe = options.exe.empty() ? FavpageExe() : options.exe;
    std::wstring commandLine = L"\"" + Wide(exe) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(options.showCommand);
    const std::wstring workingDir = Wide(options.workingDir);
    const wchar_t* cwd = workingDir.empty() ? nullptr : workingDir.c_str();
    ASSERT_TRUE(CreateProcessW(Wide(exe).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                               nullptr, cwd, &startup, &m_info))
        << "cannot start " << exe << ", error " << GetLastError();

    // The program is up when its frame holds the dialog view and has shown it (the frame shows
    // its client once it has taken it in, whatever the frame's own show state). On a loaded
    // machine a Wine program can take well over 15 s to make its first window.
    constexpr DWORD kStartMs = 30000;
    const bool up = WaitFor([&] {
        for (HWND w : TopLevelWindows(m_info.dwProcessId)) {
            HWND dialog = FindWindowExW(w, nullptr, L"#32770", nullptr);
            if (dialog && GetDlgItem(dialog, 102) && GetDlgItem(dialog, 103) &&
                (GetWindowLongW(dialog, GWL_STYLE) & WS_VISIBLE)) {
                m_frame = w;
                m_dialog = dialog;
                return true;
            }
        }
        return WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
    }, kStartMs);
    if (!up || !m_dialog) {
        std::string report = DescribeProcess(m_info.hProcess, m_info.dwProcessId);
        // A program that is still setting up or showing nothing may yet end: its exit code says
        // how (-1 follows an exception box that could not be shown or was answered).
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT &&
            WaitForSingleObject(m_info.hProcess, 10000) == WAIT_OBJECT_0)
            report += "\n10 s later: " + DescribeProcess(m_info.hProcess, m_info.dwProcessId);
        ADD_FAILURE() << "favpage showed no dialog view " << (up ? "before it ended" : "in " + std::to_string(kStartMs / 1000) + " s")
                      << ":\n" << report;
        // Nothing of the test can follow: end the program and leave the test here.
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_info.hProcess, 99);
            WaitForSingleObject(m_info.hProcess, 10000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
        throw std::runtime_error("favpage did not start");
    }
    ASSERT_TRUE(Settle());
}

HWND Favpage::StatusLine() const {
    static const char* const kLabels[] = {
        "Location of .URL Files:",
        "Name of Output File:",
        "FAVPAGE reads the Internet Shortcut files used with Internet Explorer and creates an HTML "
        "file which contains links to all the locations the Shortcuts referenced.  It does not "
        "delete the Shortcut files.",
    };
    for (HWND c = GetWindow(m_dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_stricmp(ClassOf(c).c_str(), "Static") != 0) continue;
        const std::string text = TextOf(c);
        if (std::none_of(std::begin(kLabels), std::end(kLabels),
                         [&](const char* label) { return text == label; }))
            return c;
    }
    return nullptr;
}

void Favpage::Type(int fieldId, const std::string& text) {
    // Sent, not posted: each character is in the field when the call returns, and a later
    // read cannot overtake characters still queued.
    HWND field = Control(fieldId);
    DWORD_PTR ignored = 0;
    for (wchar_t c : Wide(text))
        SendMessageTimeoutW(field, WM_CHAR, c, 1, SMTO_NORMAL, 10000, &ignored);
}

void Favpage::Retype(int fieldId, const std::string& text) {
    SendMessageA(Control(fieldId), EM_SETSEL, 0, -1);
    Type(fieldId, text);
}

void Favpage::Press(int buttonId) {
    PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(buttonId)));
}

std::string Favpage::RunConversion() {
    const std::string before = Status();
    Press(1);
    return WaitForStatusChange(before);
}

void Favpage::Key(HWND target, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

bool Favpage::Settle(DWORD ms) const {
    HWND any = m_dialog && IsWindow(m_dialog) ? m_dialog : m_frame;
    DWORD_PTR ignored = 0;
    return any && SendMessageTimeoutA(any, WM_NULL, 0, 0, SMTO_NORMAL, ms, &ignored) != 0;
}

HWND Favpage::WaitForWindow(const std::string& caption, DWORD ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows(m_info.dwProcessId)) {
                if (IsWindowVisible(w) && TextOf(w) == caption) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        ms);
    return found;
}

std::string Favpage::WaitForStatusChange(const std::string& previous, DWORD ms) const {
    std::string now = previous;
    WaitFor([&] { return (now = Status()) != previous; }, ms);
    return now;
}

long Favpage::WaitForExit(DWORD ms) {
    if (WaitForSingleObject(m_info.hProcess, ms) != WAIT_OBJECT_0) return -2;
    m_exited = true;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<long>(static_cast<LONG>(code));
}

void Answer(HWND box, int buttonId) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

bool MessageBoxHasIcon(HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageA(c, STM_GETICON, 0, 0) != 0)
            return true;
    }
    return false;
}

std::string MessageBoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

}  // namespace e2e
