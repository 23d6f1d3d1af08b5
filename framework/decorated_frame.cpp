// framework/decorated_frame.cpp: layout, key offering and menu hints of TDecoratedFrame.
#include "framework/decorated_frame.h"

#include <algorithm>

namespace {
// Item numbers just above 32000 are the framework's own window-list commands: no hint of theirs.
constexpr UINT kFirstWindowListItem = 32001;
constexpr UINT kLastWindowListItem = 32009;
}  // namespace

TDecoratedFrame::TDecoratedFrame(TWindow* parent, const wchar_t* title, TWindow* client,
                                 bool trackMenuSelection)
    : TFrameWindow(parent, title, client), m_trackMenuSelection(trackMenuSelection) {}

void TDecoratedFrame::Insert(TWindow& decoration, Location) {
    decoration.SetParentWindow(this);
    m_bottom.push_back(&decoration);
    if (m_hwnd) {
        if (!decoration.GetHandle()) decoration.Create();
        Layout();
    }
}

void TDecoratedFrame::OnChildRemoved(TWindow& child) {
    m_bottom.erase(std::remove(m_bottom.begin(), m_bottom.end(), &child), m_bottom.end());
    TFrameWindow::OnChildRemoved(child);
}

int TDecoratedFrame::DecorationsHeight() const {
    int height = 0;
    for (TWindow* decoration : m_bottom) {
        HWND hwnd = decoration->GetHandle();
        if (!hwnd || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT own{};
        GetWindowRect(hwnd, &own);
        height += own.bottom - own.top;
    }
    return height;
}

void TDecoratedFrame::Layout() {
    if (!m_hwnd) return;
    RECT rc = LayoutArea();
    for (TWindow* decoration : m_bottom) {
        HWND hwnd = decoration->GetHandle();
        // Its own visibility: a frame that is not shown yet still places its decorations.
        if (!hwnd || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT own{};
        GetWindowRect(hwnd, &own);
        const int height = own.bottom - own.top;
        SetWindowPos(hwnd, nullptr, rc.left, rc.bottom - height, rc.right - rc.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        rc.bottom -= height;
    }
    TWindow* client = GetClientWindow();
    if (client && client->GetHandle())
        SetWindowPos(client->GetHandle(), nullptr, rc.left, rc.top, rc.right - rc.left,
                     std::max<LONG>(0, rc.bottom - rc.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TDecoratedFrame::PreProcessMsg(MSG& msg) {
    for (TWindow* decoration : m_bottom) {
        HWND hwnd = decoration->GetHandle();
        if (hwnd && IsWindowVisible(hwnd) && decoration->PreProcessMsg(msg)) return true;
    }
    return TFrameWindow::PreProcessMsg(msg);
}

bool TDecoratedFrame::Dispatch(TEvent& ev) {
    static constexpr TResponse<TDecoratedFrame> kTable[] = {
        Message(WM_MENUSELECT, &TDecoratedFrame::EvMenuSelect),
        Message(WM_ENTERIDLE, &TDecoratedFrame::EvEnterIdle),
    };
    return (m_trackMenuSelection && Respond(*this, kTable, ev)) || TFrameWindow::Dispatch(ev);
}

LRESULT TDecoratedFrame::EvMenuSelect(TEvent& ev) {
    OnMenuSelect(LOWORD(ev.wp), HIWORD(ev.wp), reinterpret_cast<HMENU>(ev.lp));
    return 0;
}

LRESULT TDecoratedFrame::EvEnterIdle(TEvent& ev) {
    OnEnterIdle(static_cast<UINT>(ev.wp), reinterpret_cast<HWND>(ev.lp));
    // The hint is an addition: the menu's idle moment goes on as it would without it.
    return DefaultProc(ev.msg, ev.wp, ev.lp);
}

THintBar* TDecoratedFrame::HintBar() const {
    for (TWindow* child : Children())
        if (child->Attr().id == IDW_STATUSBAR)
            if (auto* bar = dynamic_cast<THintBar*>(child)) return bar;
    return nullptr;
}

void TDecoratedFrame::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && !menu) {   // the menu has closed
        if (THintBar* bar = HintBar()) bar->SetHintText(nullptr);
        m_menuItemId = 0;
    } else if (flags & MF_POPUP) {
        // `item` is the entry's position; an entry that opens a sub-menu has no number of its own.
        m_menuItemId = static_cast<int>(GetMenuItemID(menu, static_cast<int>(item)));
    } else if ((flags & (MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK)) ||
               (item >= kFirstWindowListItem && item <= kLastWindowListItem)) {
        m_menuItemId = -1;
    } else {
        m_menuItemId = static_cast<int>(item);
    }
}

void TDecoratedFrame::OnEnterIdle(UINT source, HWND) {
    if (source != MSGF_MENU || m_menuItemId == 0) return;
    wchar_t hint[kHintBufferSize] = L"";
    if (m_menuItemId != -1)
        LoadStringW(ModuleInstance(), static_cast<UINT>(m_menuItemId), hint, kHintBufferSize);
    if (THintBar* bar = HintBar()) bar->SetHintText(hint);
    m_menuItemId = 0;   // looked up once per highlighted item
}
