// statusbar/gadget_window_font.h: TGadgetWindowFont, the font of a row of panes.
#pragma once
#include <windows.h>

// "MS Sans Serif" at `pointSize` points on this screen: normal weight, upright, variable pitch,
// Swiss family, default character set. The size is the character height without internal
// leading, rounded to the nearest pixel, as point sizes are meant.
class TGadgetWindowFont {
public:
    explicit TGadgetWindowFont(int pointSize = 10);
    ~TGadgetWindowFont();
    TGadgetWindowFont(const TGadgetWindowFont&) = delete;
    TGadgetWindowFont& operator=(const TGadgetWindowFont&) = delete;

    HFONT Handle() const { return m_font; }
    int PointSize() const { return m_pointSize; }

private:
    int m_pointSize;
    HFONT m_font;
};
