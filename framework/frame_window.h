// framework/frame_window.h: TFrameWindow, a top-level window that shows one client window.
#pragma once
#include "framework/window.h"

// A frame with a client window (a dialog view, ...). Taking a client turns a pop-up client into a
// child with a thin border; the client fills the frame's client area enlarged by one border on
// every side, so that border lies just outside what is visible. The frame remembers the size the
// client came with (a dialog's is its template's), so that it can grow to show it whole. When the
// client window is destroyed while the frame is open, the frame closes itself. The control that
// has the focus when the frame is deactivated gets it back when the frame is activated again
// (the client's first control only when there is none to go back to). As the
// application's main window it passes every message its classes leave to the application.
class TFrameWindow : public TWindow {
public:
    TFrameWindow(TWindow* parent, const wchar_t* title, TWindow* client = nullptr);

    TWindow* GetClientWindow() const { return m_client; }
    // Makes `client` the client window (nullptr: none); returns the previous client, which is
    // no longer a child of the frame and belongs to the caller.
    TWindow* SetClientWindow(TWindow* client);
    // Places the children; the only place that positions them.
    virtual void Layout();
    // The caption: the frame's title, " - " (when the title is not empty), the document title,
    // and ":index" when the index is greater than 0. A negative index changes nothing.
    bool SetDocTitle(const wchar_t* docTitle, int index) override;
    // The frame's window size that shows the client whole, at the size it came with (its client
    // area, widened where a visible child window reaches beyond it, as the bordered child it
    // became), and the decorations; {0, 0} without a client.
    SIZE SizeToShowClient() const;
    // Where the frame's normal (restored) size would cut off one of the client's visible child
    // windows (its controls), grows in that direction to SizeToShowClient(). It never shrinks, and
    // its top-left corner stays. A frame that shows every control keeps its size, even if the
    // client's empty margin does not quite fit.
    void GrowToShowClient();
    // Icon resource of the program shown in the caption; may be set before the window exists.
    void SetIcon(int iconResourceId);
    void SetupWindow() override;

protected:
    bool Dispatch(TEvent& ev) override;
    const wchar_t* ClassName() const override { return L"TFrameWindow"; }
    void GetWindowClass(WNDCLASSW& wc) const override;
    void OnChildRemoved(TWindow& child) override;
    // The client area the children share: for a top-level frame enlarged by one border width.
    RECT LayoutArea() const;
    // The frame's window size for a client window of `client` pixels and the decorations.
    SIZE FrameSizeFor(SIZE client) const;
    // The height of the layout area that is not the client's; a plain frame has no decorations.
    virtual int DecorationsHeight() const { return 0; }
    // A client has been taken, before it is laid out and shown.
    virtual void OnClientTaken() {}

    LRESULT EvSize(TEvent& ev);
    LRESULT EvSetFocus(TEvent& ev);
    LRESULT EvActivate(TEvent& ev);
    LRESULT EvClose(TEvent& ev);
    LRESULT EvDestroy(TEvent& ev);
    LRESULT EvParentNotify(TEvent& ev);

private:
    void AdoptClient();
    void ApplyIcon();
    bool IsMainWindow() const;
    // Gives the focus back to the control that had it when the frame was deactivated; false when
    // there is none that can take it.
    bool RestoreFocus();

    TWindow* m_client = nullptr;
    SIZE m_clientSize{};     // the client's window size when it was taken
    SIZE m_controlsSize{};   // the window size its visible child windows need
    bool m_destroying = false;
    HICON m_icon = nullptr;
    HWND m_focus = nullptr;  // the child that had the focus when the frame was last deactivated
};
