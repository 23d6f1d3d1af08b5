// framework/frame_window.cpp: client taking, layout, caption and closing of TFrameWindow.
#include "framework/frame_window.h"

#include <algorithm>

#include "framework/application.h"

namespace {
// The right and bottom ends of the visible child windows of `window`, in its client coordinates.
POINT ChildrenExtent(HWND window) {
    POINT extent{0, 0};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT rc{};
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
        extent.x = std::max(extent.x, rc.right);
        extent.y = std::max(extent.y, rc.bottom);
    }
    return extent;
}

// The window size of `window` for a client area of `width` by `height`, in its present style.
SIZE WindowSizeFor(HWND window, LONG width, LONG height) {
    RECT rc{0, 0, width, height};
    AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                       GetMenu(window) != nullptr && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD),
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}
}  // namespace

TFrameWindow::TFrameWindow(TWindow* parent, const wchar_t* title, TWindow* client)
    : TWindow(parent, title) {
    TWindowAttr& a = Attr();
    a.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    a.x = a.y = a.w = a.h = CW_USEDEFAULT;
    if (client) SetClientWindow(client);
}

void TFrameWindow::GetWindowClass(WNDCLASSW& wc) const {
    TWindow::GetWindowClass(wc);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

bool TFrameWindow::IsMainWindow() const {
    TApplication* app = TApplication::Current();
    return app && app->GetMainWindow() == this;
}

TWindow* TFrameWindow::SetClientWindow(TWindow* client) {
    TWindow* previous = m_client;
    m_client = nullptr;
    if (previous) previous->SetParentWindow(nullptr);
    if (client) {
        client->SetParentWindow(this);
        m_client = client;
        if (m_hwnd) AdoptClient();
    }
    return previous;
}

void TFrameWindow::SetupWindow() {
    TWindow::SetupWindow();
    if (m_icon) ApplyIcon();
    if (m_client) AdoptClient();
}

void TFrameWindow::ApplyIcon() {
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
}

void TFrameWindow::AdoptClient() {
    if (!m_client->GetHandle()) m_client->Create();
    HWND client = m_client->GetHandle();
    // Measured before the restyling below takes the pop-up's caption and frame away.
    RECT area{};
    GetClientRect(client, &area);
    const POINT controls = ChildrenExtent(client);
    const LONG_PTR style = GetWindowLongPtrW(client, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(client, GWL_EXSTYLE);
    if ((style & (WS_POPUP | WS_DLGFRAME | WS_THICKFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) {
        // A dialog made as a pop-up loses its caption and frame and keeps a thin border.
        LONG_PTR childStyle = style & ~static_cast<LONG_PTR>(WS_POPUP | WS_DLGFRAME | WS_THICKFRAME);
        childStyle |= WS_CHILD | WS_BORDER;
        SetWindowLongPtrW(client, GWL_STYLE, childStyle);
        if (style & WS_POPUP) ::SetParent(client, m_hwnd);
        SetWindowLongPtrW(client, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME));
        SetWindowPos(client, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_clientSize = WindowSizeFor(client, std::max(area.right, controls.x),
                                 std::max(area.bottom, controls.y));
    m_controlsSize = WindowSizeFor(client, controls.x, controls.y);
    OnClientTaken();
    Layout();
    ShowWindow(client, SW_SHOW);
    SetFocus(client);
}

RECT TFrameWindow::LayoutArea() const {
    RECT rc{};
    GetClientRect(m_hwnd, &rc);
    if (!(GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_CHILD))
        InflateRect(&rc, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    return rc;
}

SIZE TFrameWindow::FrameSizeFor(SIZE client) const {
    LONG width = client.cx, height = client.cy + DecorationsHeight();
    // The layout area of a top-level frame reaches one border beyond its client area.
    if (!(GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_CHILD)) {
        width -= 2 * GetSystemMetrics(SM_CXBORDER);
        height -= 2 * GetSystemMetrics(SM_CYBORDER);
    }
    return WindowSizeFor(m_hwnd, width, height);
}

SIZE TFrameWindow::SizeToShowClient() const {
    if (!m_hwnd || !m_client || !m_client->GetHandle()) return SIZE{0, 0};
    return FrameSizeFor(m_clientSize);
}

void TFrameWindow::GrowToShowClient() {
    if (!m_hwnd || !m_client || !m_client->GetHandle()) return;
    const SIZE whole = FrameSizeFor(m_clientSize);
    const SIZE least = FrameSizeFor(m_controlsSize);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(m_hwnd, &placement)) return;
    RECT& normal = placement.rcNormalPosition;
    // A direction in which a control would be cut off grows to show the whole client.
    const LONG oldWidth = normal.right - normal.left, oldHeight = normal.bottom - normal.top;
    const LONG width = oldWidth < least.cx ? std::max(oldWidth, whole.cx) : oldWidth;
    const LONG height = oldHeight < least.cy ? std::max(oldHeight, whole.cy) : oldHeight;
    if (width == oldWidth && height == oldHeight) return;
    if (IsIconic(m_hwnd) || IsZoomed(m_hwnd)) {
        // Minimised or maximised: only the size it will be restored to changes; it stays as it is
        // and is not activated.
        normal.right = normal.left + width;
        normal.bottom = normal.top + height;
        placement.flags = 0;
        placement.showCmd = IsIconic(m_hwnd) ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
        SetWindowPlacement(m_hwnd, &placement);
    } else {
        SetWindowPos(m_hwnd, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TFrameWindow::Layout() {
    if (!m_hwnd || !m_client || !m_client->GetHandle()) return;
    const RECT rc = LayoutArea();
    SetWindowPos(m_client->GetHandle(), nullptr, rc.left, rc.top, rc.right - rc.left,
                 rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrameWindow::OnChildRemoved(TWindow& child) {
    if (&child == m_client) {
        m_client = nullptr;
        m_clientSize = m_controlsSize = SIZE{};
    }
}

bool TFrameWindow::SetDocTitle(const wchar_t* docTitle, int index) {
    if (index < 0) return true;
    std::wstring caption = Title();
    if (!caption.empty()) caption += L" - ";
    caption += docTitle ? docTitle : L"";
    if (index > 0) caption += L":" + std::to_wstring(index);
    if (m_hwnd) SetWindowTextW(m_hwnd, caption.c_str());
    return true;
}

void TFrameWindow::SetIcon(int iconResourceId) {
    m_icon = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(iconResourceId));
    if (m_hwnd && m_icon) ApplyIcon();
}

bool TFrameWindow::Dispatch(TEvent& ev) {
    static constexpr TResponse<TFrameWindow> kTable[] = {
        Message(WM_SIZE, &TFrameWindow::EvSize),
        Message(WM_SETFOCUS, &TFrameWindow::EvSetFocus),
        Message(WM_ACTIVATE, &TFrameWindow::EvActivate),
        Message(WM_CLOSE, &TFrameWindow::EvClose),
        Message(WM_DESTROY, &TFrameWindow::EvDestroy),
        Message(WM_PARENTNOTIFY, &TFrameWindow::EvParentNotify),
    };
    if (Respond(*this, kTable, ev) || TWindow::Dispatch(ev)) return true;
    // What the main window's own classes leave goes to the application, and from there to the
    // document manager.
    return IsMainWindow() && TApplication::Current()->Dispatch(ev);
}

LRESULT TFrameWindow::EvSize(TEvent&) {
    Layout();
    return 0;
}

LRESULT TFrameWindow::EvSetFocus(TEvent&) {
    if (RestoreFocus()) return 0;
    if (m_client && m_client->GetHandle()) SetFocus(m_client->GetHandle());
    return 0;
}

// A dialog keeps its focus when it is deactivated; a dialog inside a frame is never activated
// itself, so the frame keeps the focus for it. The focus is still where it was when the frame
// hears that it is being deactivated.
LRESULT TFrameWindow::EvActivate(TEvent& ev) {
    if (LOWORD(ev.wp) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(m_hwnd, focus)) m_focus = focus;
    } else if (!HIWORD(ev.wp) && RestoreFocus()) {
        return 0;
    }
    return DefaultProc(ev.msg, ev.wp, ev.lp);
}

bool TFrameWindow::RestoreFocus() {
    const HWND focus = m_focus;
    if (!focus || !IsWindow(focus) || !IsChild(m_hwnd, focus) || !IsWindowVisible(focus) ||
        !IsWindowEnabled(focus))
        return false;
    SetFocus(focus);
    return true;
}

LRESULT TFrameWindow::EvClose(TEvent&) {
    const bool mayClose = IsMainWindow() ? TApplication::Current()->CanClose() : CanClose();
    if (mayClose) Destroy();
    return 0;
}

LRESULT TFrameWindow::EvDestroy(TEvent&) {
    m_destroying = true;
    if (IsMainWindow()) PostQuitMessage(0);
    return 0;
}

LRESULT TFrameWindow::EvParentNotify(TEvent& ev) {
    // The client went away on its own (a dialog's EXIT or Escape): the frame has no purpose left.
    if (LOWORD(ev.wp) == WM_DESTROY && !m_destroying && m_client &&
        reinterpret_cast<HWND>(ev.lp) == m_client->GetHandle())
        PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    return 0;
}
