// framework/decorated_frame.cpp: layout and key offering of TDecoratedFrame.
#include "framework/decorated_frame.h"

#include <algorithm>

TDecoratedFrame::TDecoratedFrame(TWindow* parent, const char* title, TWindow* client)
    : TFrameWindow(parent, title, client) {}

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

void TDecoratedFrame::Layout() {
    if (!m_hwnd) return;
    RECT rc = LayoutArea();
    for (TWindow* decoration : m_bottom) {
        HWND hwnd = decoration->GetHandle();
        if (!hwnd || !IsWindowVisible(hwnd)) continue;
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
