// framework/dialog.cpp: TDialog's creation, binding, keyboard handling and transfer.
#include "framework/dialog.h"

#include "framework/exceptions.h"

TDialog::TDialog(TWindow* parent, int templateId) : TWindow(parent), m_templateId(templateId) {}

void TDialog::Create() {
    if (m_hwnd) return;
    HWND parent = Parent() ? Parent()->GetHandle() : nullptr;
    HWND hwnd = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(m_templateId), parent,
                                   &TDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
    RethrowPending();
    if (!hwnd) throw TXOwl(L"Unable to create dialog " + std::to_wstring(m_templateId));
}

void TDialog::SetupWindow() {
    TWindow::SetupWindow();
    TransferData(TTransfer::SetData);
}

bool TDialog::PreProcessMsg(MSG& msg) {
    return m_hwnd && IsDialogMessageW(m_hwnd, &msg);
}

void TDialog::TransferData(TTransfer direction) {
    if (!m_transferBuffer) return;
    auto* at = static_cast<char*>(m_transferBuffer);
    for (TWindow* child : Children()) at += child->Transfer(at, direction);
}

bool TDialog::Dispatch(TEvent& ev) {
    static constexpr TResponse<TDialog> kTable[] = {
        Message(WM_INITDIALOG, &TDialog::EvInitDialog),
        Command(IDOK, &TDialog::CmOk),
        Command(IDCANCEL, &TDialog::CmCancel),
    };
    return Respond(*this, kTable, ev) || TWindow::Dispatch(ev);
}

LRESULT TDialog::EvInitDialog(TEvent&) {
    SetupWindow();
    return TRUE;   // let the dialog manager focus the first tab stop
}

void TDialog::CmOk() {
    if (!CanClose()) return;
    TransferData(TTransfer::GetData);
    Destroy();
}

void TDialog::CmCancel() { Destroy(); }

INT_PTR CALLBACK TDialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) reinterpret_cast<TDialog*>(lp)->Attach(hwnd, false);
    // WM_SETFONT and WM_CREATE come before WM_INITDIALOG: no object yet, the dialog manager
    // handles them.
    auto* self = static_cast<TDialog*>(FromHandle(hwnd));
    if (!self) return FALSE;
    TEvent ev{msg, wp, lp};
    const bool handled = self->DispatchSafely(ev);
    if (msg == WM_NCDESTROY) self->Detach();
    if (!handled) return FALSE;
    // These answer through the return value; every other message through DWLP_MSGRESULT.
    if (msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC))
        return static_cast<INT_PTR>(ev.result);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, ev.result);
    return TRUE;
}
