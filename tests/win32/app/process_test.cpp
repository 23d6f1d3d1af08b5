// The program as a process (with the stand-in view): the window states the launcher's show
// command leads to, and the exit code and single save of every way out.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "tests/win32/app/standin_resources.h"
#include "tests/win32/app/standin_view.h"

namespace {

std::string StandinExe() {
    std::string path = FAVPAGE_STANDIN_EXE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;   // Wine's drive for the Unix root
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = 15000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(15);   // another process's windows: nothing here to wait on
    }
    return true;
}

std::string TextOf(HWND window) {
    char text[256] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, 5000, &copied);
    return text;
}

// One run of the stand-in program.
class Program {
public:
    // `showCommand` < 0: no show command from the launcher at all.
    explicit Program(int showCommand) {
        std::string exe = StandinExe();
        std::string commandLine = "\"" + exe + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (showCommand >= 0) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = static_cast<WORD>(showCommand);
        }
        m_started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &m_info) != FALSE;
        if (!m_started) return;
        // Up when the frame shows the document's title and holds the view, shown.
        WaitFor([this] {
            m_frame = FindWindowOfProcess("favpage - Document");
            m_dialog = m_frame ? FindWindowExA(m_frame, nullptr, "#32770", nullptr) : nullptr;
            if (m_dialog && !(GetWindowLongA(m_dialog, GWL_STYLE) & WS_VISIBLE)) m_dialog = nullptr;
            return m_dialog != nullptr || WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
        }, 30000);   // a loaded machine can take well over 15 s to start a Wine program
        DWORD_PTR ignored;
        if (m_frame) SendMessageTimeoutA(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    }
    ~Program() {
        if (!m_started) return;
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_info.hProcess, 98);
            WaitForSingleObject(m_info.hProcess, 10000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Up() const { return m_frame && m_dialog; }
    HWND Frame() const { return m_frame; }
    HWND Dialog() const { return m_dialog; }
    DWORD ThreadId() const { return m_info.dwThreadId; }

    HWND FindWindowOfProcess(const std::string& caption, const char* cls = nullptr) const {
        struct Search {
            DWORD pid;
            const std::string* caption;
            const char* cls;
            HWND found;
        } search{m_info.dwProcessId, &caption, cls, nullptr};
        EnumWindows(
            [](HWND w, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid != s->pid) return TRUE;
                char name[64] = "";
                GetClassNameA(w, name, sizeof name);
                if (s->cls && lstrcmpiA(name, s->cls) != 0) return TRUE;
                if (!s->caption->empty() && TextOf(w) != *s->caption) return TRUE;
                s->found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // The window that has the keyboard focus in the program.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(m_info.dwThreadId, &info) ? info.hwndFocus : nullptr;
    }

    // Exit code, or -2 when the program is still running after `ms`.
    long WaitForExit(DWORD ms = 20000) {
        if (WaitForSingleObject(m_info.hProcess, ms) != WAIT_OBJECT_0) return -2;
        DWORD code = 0;
        GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<LONG>(code);
    }

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
    HWND m_frame = nullptr;
    HWND m_dialog = nullptr;
};

void PostKey(HWND target, UINT virtualKey, bool alt = false) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    const LPARAM context = alt ? (1 << 29) : 0;
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, 1 | (scan << 16) | context);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey,
                 1 | (scan << 16) | context | 0xC0000000u);
}

struct ShowCase {
    const char* name;
    int showCommand;   // < 0: the launcher gives none
    bool visible, iconic, zoomed;
};

void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }

class ShowCommand : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowCommand, GivesTheFrameItsStartingState) {
    const ShowCase& c = GetParam();
    StandinJournal::Clear();
    Program program(c.showCommand);
    ASSERT_TRUE(program.Up()) << "the program showed no frame with its view";
    EXPECT_EQ(IsWindowVisible(program.Frame()) != FALSE, c.visible);
    EXPECT_EQ(IsIconic(program.Frame()) != FALSE, c.iconic);
    EXPECT_EQ(IsZoomed(program.Frame()) != FALSE, c.zoomed);
    if (c.showCommand == SW_SHOWMINNOACTIVE) {
        EXPECT_NE(GetForegroundWindow(), program.Frame()) << "started inactive, it became active";
    }
    PostMessageA(program.Frame(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    App, ShowCommand,
    ::testing::Values(ShowCase{"Hide", SW_HIDE, false, false, false},
                      ShowCase{"Normal", SW_SHOWNORMAL, true, false, false},
                      ShowCase{"ShowMinimized", SW_SHOWMINIMIZED, true, false, false},
                      ShowCase{"Maximized", SW_SHOWMAXIMIZED, true, false, false},
                      ShowCase{"Minimize", SW_MINIMIZE, true, false, false},
                      ShowCase{"MinimizedNotActive", SW_SHOWMINNOACTIVE, true, true, false},
                      ShowCase{"NoneGiven", -1, true, false, false}),
    [](const ::testing::TestParamInfo<ShowCase>& info) { return info.param.name; });

struct CloseCase {
    const char* name;
    void (*close)(Program&);
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class ClosePath : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosePath, EndsWithExitCodeZeroAndOneSaveAfterTheWindowIsGone) {
    StandinJournal::Clear();
    Program program(SW_SHOWNORMAL);
    ASSERT_TRUE(program.Up());
    EXPECT_EQ(StandinJournal::Read().saves, 0u);
    GetParam().close(program);
    EXPECT_EQ(program.WaitForExit(), 0);
    const StandinJournal journal = StandinJournal::Read();
    EXPECT_EQ(journal.saves, 1u);
    EXPECT_TRUE(journal.frameGoneAtSave);
}

INSTANTIATE_TEST_SUITE_P(
    App, ClosePath,
    ::testing::Values(
        CloseCase{"ExitButton",
                  [](Program& p) {
                      PostMessageA(p.Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(p.Dialog(), IDCANCEL)));
                  }},
        CloseCase{"EscapeKey", [](Program& p) { PostKey(p.Focus(), VK_ESCAPE); }},
        // What a click on the close box sends.
        CloseCase{"CloseBox",
                  [](Program& p) { PostMessageA(p.Frame(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        CloseCase{"AltF4", [](Program& p) { PostKey(p.Focus(), VK_F4, true); }},
        CloseCase{"SystemMenuClose",
                  [](Program& p) {
                      PostMessageA(p.Frame(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
                      WaitFor([&] {
                          HWND menu = p.FindWindowOfProcess("", "#32768");
                          return menu && IsWindowVisible(menu);
                      });
                      // The Close item's mnemonic (Wine adds items of its own below Close).
                      PostMessageA(p.Frame(), WM_CHAR, 'c', 0x002E0001);
                  }}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

TEST(ExitCode, IsMinusOneWhenTheUserDeclinesToResumeAfterAnException) {
    StandinJournal::Clear();
    Program program(SW_SHOWNORMAL);
    ASSERT_TRUE(program.Up());
    PostMessageA(program.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_THROW_XMSG, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(program.Dialog(), IDC_THROW_XMSG)));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        box = program.FindWindowOfProcess("Unhandled Exception", "#32770");
        return box && IsWindowVisible(box);
    }));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    EXPECT_EQ(program.WaitForExit(), -1);
    EXPECT_EQ(StandinJournal::Read().saves, 1u);
}

}  // namespace
