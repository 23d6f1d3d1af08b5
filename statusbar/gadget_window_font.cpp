// statusbar/gadget_window_font.cpp: creating the panes' font for the screen's resolution.
#include "statusbar/gadget_window_font.h"

#include <cstring>

#include "framework/dc.h"

TGadgetWindowFont::TGadgetWindowFont(int pointSize) : m_pointSize(pointSize) {
    TScreenDC screen;
    const int pixelsPerInch = screen.Handle() ? GetDeviceCaps(screen.Handle(), LOGPIXELSY) : 96;
    LOGFONTW lf{};
    // Negative: the character height without internal leading, which is what points measure.
    lf.lfHeight = -MulDiv(pointSize, pixelsPerInch, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcscpy(lf.lfFaceName, L"MS Sans Serif");
    m_font = CreateFontIndirectW(&lf);
}

TGadgetWindowFont::~TGadgetWindowFont() {
    if (m_font) DeleteObject(m_font);
}
