// framework/window.cpp: binding, creation, children and dispatch of TWindow.
#include "framework/window.h"

#include <algorithm>

#include "framework/exceptions.h"
#include "framework/help.h"

namespace {
// The binding lives in a window property: one lookup serves windows of our own classes, dialogs
// and subclassed system controls alike, and GWLP_USERDATA stays free for the controls' own use.
constexpr wchar_t kBindingProperty[] = L"TWindow.object";
}  // namespace

bool TEventHandler::Dispatch(TEvent&) { return false; }

TWindow::TWindow(TWindow* parent, const wchar_t* title) : m_title(title ? title : L"") {
    SetParentWindow(parent);
}

TWindow::~TWindow() {
    if (m_hwnd) {
        // Unbind first: the window's last messages must not reach an object being torn down.
        HWND hwnd = m_hwnd;
        Detach();
        DestroyWindow(hwnd);
    }
    while (!m_children.empty()) delete m_children.back();
    SetParentWindow(nullptr);
}

void TWindow::SetParentWindow(TWindow* parent) {
    if (parent == m_parent) return;
    if (m_parent) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        m_parent->OnChildRemoved(*this);
    }
    m_parent = parent;
    if (m_parent) m_parent->m_children.push_back(this);
}

void TWindow::OnChildRemoved(TWindow&) {}

HINSTANCE TWindow::ModuleInstance() { return GetModuleHandleW(nullptr); }

void TWindow::RethrowPending() {
    if (std::exception_ptr e = TakePendingException()) std::rethrow_exception(e);
}

const wchar_t* TWindow::ClassName() const { return L"TWindow"; }

void TWindow::GetWindowClass(WNDCLASSW& wc) const {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &TWindow::StaticProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = ClassName();
}

void TWindow::RegisterOwnClass() const {
    WNDCLASSW wc{};
    if (GetClassInfoW(ModuleInstance(), ClassName(), &wc)) return;
    GetWindowClass(wc);
    if (!RegisterClassW(&wc)) throw TXOwl(std::wstring(L"Unable to register window class ") + ClassName());
}

void TWindow::Create() {
    if (m_hwnd) return;
    RegisterOwnClass();
    HWND parent = m_parent ? m_parent->GetHandle() : m_attr.owner;
    HMENU idOrMenu = (m_attr.style & WS_CHILD)
                         ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_attr.id)) : nullptr;
    HWND hwnd = CreateWindowExW(m_attr.exStyle, ClassName(), m_title.c_str(), m_attr.style,
                                m_attr.x, m_attr.y, m_attr.w, m_attr.h, parent, idOrMenu,
                                ModuleInstance(), this);
    RethrowPending();   // a handler that threw during creation speaks first
    if (!hwnd) throw TXOwl(std::wstring(L"Unable to create window ") + ClassName());
}

void TWindow::Destroy() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

void TWindow::SetCaption(const wchar_t* text) {
    m_title = text ? text : L"";
    if (m_hwnd) SetWindowTextW(m_hwnd, m_title.c_str());
}

void TWindow::SetupWindow() {
    // Copy first: creating a child may run handlers that change the list.
    const std::vector<TWindow*> children = m_children;
    for (TWindow* child : children)
        if (!child->GetHandle()) child->Create();
}

bool TWindow::CanClose() {
    for (TWindow* child : m_children)
        if (child->GetHandle() && !child->CanClose()) return false;
    return true;
}

bool TWindow::PreProcessMsg(MSG&) { return false; }

bool TWindow::IdleAction(long idleCount) {
    bool more = false;
    for (TWindow* child : m_children)
        if (child->IdleAction(idleCount)) more = true;
    return more;
}

bool TWindow::SetDocTitle(const wchar_t* docTitle, int index) {
    return m_parent && m_parent->SetDocTitle(docTitle, index);
}

std::size_t TWindow::Transfer(void*, TTransfer) { return 0; }

int TWindow::ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT flags) {
    return MessageBoxW(m_hwnd, text, caption, flags);
}

int TWindow::RequestHelp(const wchar_t* helpFile, UINT command, ULONG_PTR data) {
    return HelpRequest(m_hwnd, helpFile, command, data);
}

TWindow* TWindow::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<TWindow*>(GetPropW(hwnd, kBindingProperty)) : nullptr;
}

void TWindow::Attach(HWND hwnd, bool subclass) {
    m_hwnd = hwnd;
    SetPropW(hwnd, kBindingProperty, this);
    if (subclass)
        m_prevProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::StaticProc)));
}

void TWindow::Detach() {
    if (!m_hwnd) return;
    RemovePropW(m_hwnd, kBindingProperty);
    if (m_prevProc)
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
    m_hwnd = nullptr;
}

bool TWindow::Dispatch(TEvent& ev) {
    static constexpr TResponse<TWindow> kTable[] = {
        Message(WM_CREATE, &TWindow::EvCreate),
    };
    return Respond(*this, kTable, ev);
}

LRESULT TWindow::EvCreate(TEvent&) {
    SetupWindow();
    return 0;
}

LRESULT TWindow::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    return m_prevProc ? CallWindowProcW(m_prevProc, m_hwnd, msg, wp, lp)
                      : DefWindowProcW(m_hwnd, msg, wp, lp);
}

bool TWindow::DispatchSafely(TEvent& ev) noexcept {
    try {
        return Dispatch(ev);
    } catch (...) {
        KeepPendingException(std::current_exception());
        return false;
    }
}

LRESULT TWindow::Receive(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    TEvent ev{msg, wp, lp};
    if (DispatchSafely(ev)) return ev.result;
    return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK TWindow::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        if (auto* self = static_cast<TWindow*>(cs->lpCreateParams)) self->Attach(hwnd, false);
    }
    TWindow* self = FromHandle(hwnd);
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = self->Receive(msg, wp, lp);
    if (msg == WM_NCDESTROY) self->Detach();   // the last message: forget each other
    return result;
}
