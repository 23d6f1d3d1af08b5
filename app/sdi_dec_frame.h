// app/sdi_dec_frame.h: SDIDecFrame, the program's main window.
#pragma once
#include "framework/decorated_frame.h"

// The resizable top-level window that holds the dialog view above the status bar. It sizes
// itself while it is being created, so it is first shown at that size: 214 by 200 dialog units
// measured with the system font, at the top-left corner the window system chose. When it takes
// its client it grows, in either direction, where the dialog's controls and the status bar would
// not fit, to show the whole dialog: at high resolutions the system font and the dialog's font do
// not grow alike. At 96 pixels per inch the first size holds.
class SDIDecFrame : public TDecoratedFrame {
public:
    SDIDecFrame(TWindow* parent, const wchar_t* title, TWindow* client, bool trackMenuSelection);

    // The frame's size for a font of these metrics: avgCharWidth * 214 / 4 by
    // charHeight * 200 / 8, each division dropping the remainder.
    static SIZE SizeForFont(int avgCharWidth, int charHeight);

protected:
    bool Dispatch(TEvent& ev) override;
    void OnClientTaken() override { GrowToShowClient(); }

private:
    LRESULT OnFrameCreate(TEvent& ev);
};
