// app/sdi_dec_frame.cpp: the main window's size, set while it is created.
#include "app/sdi_dec_frame.h"

#include "framework/dc.h"

SDIDecFrame::SDIDecFrame(TWindow* parent, const wchar_t* title, TWindow* client,
                         bool trackMenuSelection)
    : TDecoratedFrame(parent, title, client, trackMenuSelection) {}

SIZE SDIDecFrame::SizeForFont(int avgCharWidth, int charHeight) {
    return SIZE{avgCharWidth * 214 / 4, charHeight * 200 / 8};
}

bool SDIDecFrame::Dispatch(TEvent& ev) {
    static constexpr TResponse<SDIDecFrame> kTable[] = {
        Message(WM_CREATE, &SDIDecFrame::OnFrameCreate),
    };
    return Respond(*this, kTable, ev) || TDecoratedFrame::Dispatch(ev);
}

LRESULT SDIDecFrame::OnFrameCreate(TEvent& ev) {
    // The base classes set the frame up and create the decorations' windows first.
    TDecoratedFrame::Dispatch(ev);
    const LRESULT result = ev.result;

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(m_hwnd, &placement);
    // A fresh context of the frame has the system font: the frame's size does not depend on the
    // dialog's font.
    const TEXTMETRICW tm = TClientDC(m_hwnd).TextMetrics();
    const SIZE size = SizeForFont(tm.tmAveCharWidth, tm.tmHeight);
    SetWindowPos(m_hwnd, nullptr, placement.rcNormalPosition.left, placement.rcNormalPosition.top,
                 size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // A client given before the window was made has been taken already: it must still fit.
    GrowToShowClient();
    return result;
}
