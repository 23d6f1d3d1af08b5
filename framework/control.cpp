// framework/control.cpp: creation, binding and transfer of the standard controls.
#include "framework/control.h"

#include <algorithm>
#include <vector>

#include "framework/exceptions.h"

TControl::TControl(TWindow* parent, int id, const wchar_t* text, int x, int y, int w, int h)
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
        if (!hwnd) throw TXOwl(L"No control " + std::to_wstring(Id()) + L" in the dialog");
    } else {
        const TWindowAttr& a = Attr();
        hwnd = CreateWindowExW(a.exStyle, SystemClass(), Title().c_str(), a.style, a.x, a.y, a.w,
                               a.h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)),
                               ModuleInstance(), nullptr);
        if (!hwnd) throw TXOwl(std::wstring(L"Unable to create a ") + SystemClass() + L" control");
        // A control made in code starts with the system font; give it its dialog's font, as the
        // template's controls have.
        if (parent) {
            if (LRESULT font = SendMessageW(parent, WM_GETFONT, 0, 0))
                SendMessageW(hwnd, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        }
    }
    Attach(hwnd, true);
    SetupWindow();
}

void TControl::SetText(const wchar_t* text) { SetCaption(text); }

std::wstring TControl::GetText() const {
    if (!m_hwnd) return Title();
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

TStatic::TStatic(TWindow* parent, int id, const wchar_t* text, int x, int y, int w, int h)
    : TControl(parent, id, text, x, y, w, h) {
    Attr().style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
}

TStatic::TStatic(TWindow* parent, int resourceId) : TControl(parent, resourceId) {}

TEdit::TEdit(TWindow* parent, int resourceId, unsigned textLength)
    : TControl(parent, resourceId), m_textLength(textLength) {}

bool TEdit::IsOverfull() const {
    return m_hwnd && static_cast<unsigned>(GetWindowTextLengthW(m_hwnd)) >= m_textLength;
}

namespace {

// The length of the text a paste into a single-line field inserts: the clipboard's text up to its
// first line break, as the field takes it. Nothing when there is no text to paste.
std::size_t PastedLength(HWND field) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(field)) return 0;
    std::size_t length = 0;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            length = wcscspn(text, L"\r\n");
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return length;
}

}  // namespace

bool TEdit::Dispatch(TEvent& ev) {
    static constexpr TResponse<TEdit> kTable[] = {
        Message(WM_PASTE, &TEdit::EvPaste),
        Message(WM_KEYDOWN, &TEdit::EvKeyDown),
    };
    return Respond(*this, kTable, ev) || TControl::Dispatch(ev);
}

// Ctrl+V and the context menu's Paste reach the field as WM_PASTE; Shift+Insert may be pasted
// by the system's field directly, so it is made a WM_PASTE here too.
LRESULT TEdit::EvKeyDown(TEvent& ev) {
    if (ev.wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
        if (!(GetWindowLongPtrW(m_hwnd, GWL_STYLE) & ES_READONLY)) SendMessageW(m_hwnd, WM_PASTE, 0, 0);
        return 0;
    }
    return DefaultProc(ev.msg, ev.wp, ev.lp);
}

LRESULT TEdit::EvPaste(TEvent& ev) {
    DWORD start = 0, end = 0;
    SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::size_t kept = static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) - (end - start);
    if (kept + PastedLength(m_hwnd) < m_textLength) return DefaultProc(ev.msg, ev.wp, ev.lp);
    if (HWND parent = GetParent(m_hwnd)) {
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(Id(), kEditPasteRefused),
                     reinterpret_cast<LPARAM>(m_hwnd));
    }
    return 0;
}

void TEdit::SetupWindow() {
    TControl::SetupWindow();
    SendMessageW(m_hwnd, EM_LIMITTEXT, m_textLength - 1, 0);
}

std::size_t TEdit::Transfer(void* buffer, TTransfer direction) {
    auto* text = static_cast<wchar_t*>(buffer);
    const std::size_t bytes = m_textLength * sizeof(wchar_t);
    if (!m_hwnd) return bytes;
    if (direction == TTransfer::GetData) {
        std::fill_n(text, m_textLength, L'\0');
        GetWindowTextW(m_hwnd, text, static_cast<int>(m_textLength));
    } else {
        // The buffer may hold anything: never read past this control's characters.
        const std::wstring shown(text, std::find(text, text + m_textLength - 1, L'\0'));
        SetWindowTextW(m_hwnd, shown.c_str());
    }
    return bytes;
}
