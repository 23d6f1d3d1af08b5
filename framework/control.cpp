// framework/control.cpp: creation, binding and transfer of the standard controls.
#include "framework/control.h"

#include <cstring>
#include <vector>

#include "framework/exceptions.h"

TControl::TControl(TWindow* parent, int id, const char* text, int x, int y, int w, int h)
    : TWindow(parent, text), m_fromResource(false) {
    TWindowAttr& a = Attr();
    a.id = id;
    a.x = x;
    a.y = y;
    a.w = w;
    a.h = h;
}

TControl::TControl(TWindow* parent, int resourceId) : TWindow(parent), m_fromResource(true) {
    Attr().id = resourceId;
}

void TControl::Create() {
    if (m_hwnd) return;
    HWND parent = Parent() ? Parent()->GetHandle() : nullptr;
    HWND hwnd = nullptr;
    if (m_fromResource) {
        hwnd = parent ? GetDlgItem(parent, Id()) : nullptr;
        if (!hwnd) throw TXOwl("No control " + std::to_string(Id()) + " in the dialog");
    } else {
        const TWindowAttr& a = Attr();
        hwnd = CreateWindowExA(a.exStyle, SystemClass(), Title().c_str(), a.style, a.x, a.y, a.w,
                               a.h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)),
                               ModuleInstance(), nullptr);
        if (!hwnd) throw TXOwl(std::string("Unable to create a ") + SystemClass() + " control");
        // A control made in code starts with the system font; give it its dialog's font, as the
        // template's controls have.
        if (parent) {
            if (LRESULT font = SendMessageA(parent, WM_GETFONT, 0, 0))
                SendMessageA(hwnd, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        }
    }
    Attach(hwnd, true);
    SetupWindow();
}

void TControl::SetText(const char* text) { SetCaption(text); }

std::string TControl::GetText() const {
    if (!m_hwnd) return Title();
    std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(m_hwnd)) + 1, '\0');
    GetWindowTextA(m_hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

TStatic::TStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h)
    : TControl(parent, id, text, x, y, w, h) {
    Attr().style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
}

TStatic::TStatic(TWindow* parent, int resourceId) : TControl(parent, resourceId) {}

TEdit::TEdit(TWindow* parent, int resourceId, unsigned textLength)
    : TControl(parent, resourceId), m_textLength(textLength) {}

void TEdit::SetupWindow() {
    TControl::SetupWindow();
    SendMessageA(m_hwnd, EM_LIMITTEXT, m_textLength - 1, 0);
}

std::size_t TEdit::Transfer(void* buffer, TTransfer direction) {
    auto* bytes = static_cast<char*>(buffer);
    if (!m_hwnd) return m_textLength;
    if (direction == TTransfer::GetData) {
        std::memset(bytes, 0, m_textLength);
        GetWindowTextA(m_hwnd, bytes, static_cast<int>(m_textLength));
    } else {
        // The buffer may hold anything: never read past this control's bytes.
        std::string text(bytes, strnlen(bytes, m_textLength - 1));
        SetWindowTextA(m_hwnd, text.c_str());
    }
    return m_textLength;
}
