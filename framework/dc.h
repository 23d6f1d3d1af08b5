// framework/dc.h: drawing contexts owned for a scope: a window's client area or the screen.
#pragma once
#include <windows.h>

// GetDC on construction, ReleaseDC on destruction. A null window gives the whole screen, whose
// current font is the system font.
class TClientDC {
public:
    explicit TClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~TClientDC() {
        if (m_dc) ReleaseDC(m_hwnd, m_dc);
    }
    TClientDC(const TClientDC&) = delete;
    TClientDC& operator=(const TClientDC&) = delete;

    HDC Handle() const { return m_dc; }
    // Metrics of the context's current font; all zero when there is no context.
    TEXTMETRICW TextMetrics() const {
        TEXTMETRICW tm{};
        if (m_dc) GetTextMetricsW(m_dc, &tm);
        return tm;
    }

private:
    HWND m_hwnd;
    HDC m_dc;
};

class TScreenDC : public TClientDC {
public:
    TScreenDC() : TClientDC(nullptr) {}
};

// A length of `pixelsAt96` pixels at 96 pixels per inch, on this screen: scaled to its resolution,
// unchanged at 96. For the few lengths that no font or system metric gives.
inline int ScreenPixels(int pixelsAt96) {
    TScreenDC screen;
    const int perInch = screen.Handle() ? GetDeviceCaps(screen.Handle(), LOGPIXELSX) : 96;
    return MulDiv(pixelsAt96, perInch, 96);
}
