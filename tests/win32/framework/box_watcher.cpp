// tests/win32/framework/box_watcher.cpp: the message-box answering thread of the GUI tests.
#include "tests/win32/framework/box_watcher.h"

#include <chrono>

namespace {

struct BoxContents {
    std::string text;
    std::vector<int> buttons;
    bool hasIcon = false;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
    auto* box = reinterpret_cast<BoxContents*>(lp);
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    const LONG style = static_cast<LONG>(GetWindowLongPtrA(child, GWL_STYLE));
    if (!IsWindowVisible(child)) return TRUE;
    if (lstrcmpiA(cls, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            box->hasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
            return TRUE;
        }
        char text[1024] = "";
        SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        if (text[0]) {
            if (!box->text.empty()) box->text += '|';
            box->text += text;
        }
    } else if (lstrcmpiA(cls, "Button") == 0) {
        box->buttons.push_back(GetDlgCtrlID(child));
    }
    return TRUE;
}

int gDeadlineStatus = 0;

void CALLBACK DeadlineReached(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(gDeadlineStatus);
}

}  // namespace

BoxWatcher::BoxWatcher(std::string caption, int answer, DWORD timeoutMs)
    : m_caption(std::move(caption)), m_answer(answer), m_timeoutMs(timeoutMs),
      m_thread([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() {
    if (m_thread.joinable()) m_thread.join();
}

bool BoxWatcher::Wait() {
    if (m_thread.joinable()) m_thread.join();
    return m_seen;
}

void BoxWatcher::Watch() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        HWND box = FindWindowA("#32770", m_caption.c_str());
        if (box && IsWindowVisible(box)) {
            BoxContents contents;
            EnumChildWindows(box, &CollectChild, reinterpret_cast<LPARAM>(&contents));
            m_text = contents.text;
            m_buttons = contents.buttons;
            m_hasIcon = contents.hasIcon;
            m_seen = true;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, m_answer)));
            return;
        }
        Sleep(20);   // polling another thread's windows: there is nothing to wait on
    }
}

UINT_PTR StartLoopDeadline(DWORD timeoutMs, int status) {
    gDeadlineStatus = status;
    return SetTimer(nullptr, 0, timeoutMs, &DeadlineReached);
}

void StopLoopDeadline(UINT_PTR timer) {
    if (timer) KillTimer(nullptr, timer);
}
