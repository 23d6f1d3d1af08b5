// tests/win32/app/app_script.cpp: the stepping timer and the program's parts.
#include "tests/win32/app/app_script.h"

#include "app/entry.h"
#include "app/favpage_app.h"
#include "app/sdi_dec_frame.h"
#include "statusbar/status_bar.h"

namespace {
AppScript* gRunning = nullptr;
constexpr UINT kTickMs = 15;
}  // namespace

AppScript& AppScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

AppScript& AppScript::Do(std::function<void()> action) {
    return Then([action = std::move(action)] {
        action();
        return true;
    });
}

std::string AppScript::Where() const {
    return "stopped at step " + std::to_string(m_next) + " of " + std::to_string(m_steps.size()) +
           (m_timedOut ? " (deadline)" : "");
}

void CALLBACK AppScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    AppScript* script = gRunning;
    // A step may run a message loop of its own (a box, a menu): no step inside a step.
    if (!script || script->m_inStep) return;
    if (GetTickCount() > script->m_deadline) {
        if (!script->m_timedOut) {
            script->m_timedOut = true;
            EndMenu();
            PostQuitMessage(99);
        }
        return;
    }
    script->m_inStep = true;
    while (script->m_next < script->m_steps.size() && script->m_steps[script->m_next]())
        ++script->m_next;
    script->m_inStep = false;
}

int AppScript::Run(int cmdShow, DWORD deadlineMs) {
    return RunWith([cmdShow] { return FavpageMain(GetModuleHandleA(nullptr), cmdShow); },
                   deadlineMs);
}

int AppScript::RunWith(const std::function<int()>& body, DWORD deadlineMs) {
    gRunning = this;
    m_deadline = GetTickCount() + deadlineMs;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, &AppScript::Tick);
    const int result = body();
    KillTimer(nullptr, timer);
    gRunning = nullptr;
    // Whatever a late step posted must not reach the next loop of this process.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    return result;
}

AppScript::Step AnswerBox(const char* caption, int answer, BoxContents& seen) {
    return [caption, answer, &seen] {
        HWND box = FindWindowA("#32770", caption);
        DWORD pid = 0;
        if (!box || GetWindowThreadProcessId(box, &pid) != GetCurrentThreadId()) return false;
        HWND button = GetDlgItem(box, answer);
        if (!IsWindowVisible(box) || !button || !IsWindowVisible(button)) return false;
        seen = BoxContents{};
        seen.seen = true;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            char cls[16] = "";
            GetClassNameA(child, cls, sizeof cls);
            if (lstrcmpiA(cls, "Button") == 0) {
                seen.buttons.push_back(GetDlgCtrlID(child));
            } else if (lstrcmpiA(cls, "Static") == 0) {
                if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                    seen.hasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
                } else {
                    char text[512] = "";
                    GetWindowTextA(child, text, sizeof text);
                    if (text[0]) seen.text += text;
                }
            }
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return true;
    };
}

favpage2App& App() { return *static_cast<favpage2App*>(TApplication::Current()); }

HWND Frame() { return App().GetMainWindow()->GetHandle(); }

HWND Client() {
    TWindow* client = App().GetMainWindow()->GetClientWindow();
    return client ? client->GetHandle() : nullptr;
}

TStatusBar& Bar() { return *App().GetStatusBar(); }

void PostKey(HWND target, UINT virtualKey, bool alt) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    const LPARAM context = alt ? (1 << 29) : 0;
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    PostMessageA(target, down, virtualKey, 1 | (scan << 16) | context);
    PostMessageA(target, up, virtualKey, 1 | (scan << 16) | context | 0xC0000000u);
}
