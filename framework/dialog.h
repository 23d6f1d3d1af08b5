// framework/dialog.h: TDialog, a modeless dialog made from a resource template.
#pragma once
#include "framework/window.h"

// A dialog created from template `templateId` with CreateDialogParamA. Its controls are child
// objects, bound to the template's controls or created in code when the dialog is set up; their
// data moves to and from a transfer buffer in child order. The dialog never deletes itself: the
// cancel path destroys the window and leaves the object to its owner.
class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, int templateId);

    int TemplateId() const { return m_templateId; }
    void Create() override;
    // Binds and creates the controls, then fills them from the transfer buffer.
    void SetupWindow() override;
    // Gives the dialog manager its keys: Tab, Enter (the default button), Escape (IDCANCEL).
    bool PreProcessMsg(MSG& msg) override;

    void SetTransferBuffer(void* buffer) { m_transferBuffer = buffer; }
    void* GetTransferBuffer() const { return m_transferBuffer; }
    // Moves the data of every child that takes part, in child order, to or from the buffer.
    void TransferData(TTransfer direction);

protected:
    bool Dispatch(TEvent& ev) override;
    // IDOK: if the dialog may close, take the controls' data into the buffer and destroy it.
    virtual void CmOk();
    // IDCANCEL (the Escape key too): destroy the window at once, without asking and without
    // taking the controls' data.
    virtual void CmCancel();

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT EvInitDialog(TEvent& ev);

    int m_templateId;
    void* m_transferBuffer = nullptr;
};
