// statusbar/message_bar.cpp: the message pane, the highlight line and the hint.
#include "statusbar/message_bar.h"

#include "framework/dc.h"

namespace {
constexpr unsigned kMessagePaneChars = 10;   // nominal only: the pane stretches
constexpr int kHintIndent = 5;               // pixels at 96 per inch between the bar's edge and a hint
}  // namespace

TMessageBar::TMessageBar(TWindow* parent, TGadgetWindowFont* font)
    : TGadgetWindow(parent, font), m_hintIndent(ScreenPixels(kHintIndent)) {
    Attr().id = IDW_STATUSBAR;
    auto* message = new TTextGadget(0, TBorderStyle::Recessed, TTextGadget::Align::Left,
                                    kMessagePaneChars);
    message->SetStretch(true);
    Insert(message);
}

int TMessageBar::HighlightLineHeight() const { return GetSystemMetrics(SM_CYBORDER); }

int TMessageBar::DesiredHeight() const {
    return TGadgetWindow::DesiredHeight() + (m_highlightLine ? HighlightLineHeight() : 0);
}

RECT TMessageBar::InnerRect(int width, int height) const {
    RECT inner = TGadgetWindow::InnerRect(width, height);
    if (m_highlightLine) inner.top += HighlightLineHeight();
    return inner;
}

void TMessageBar::SetHintText(const wchar_t* text) {
    if (text)
        m_hint = text;
    else
        m_hint.reset();
    if (m_hwnd) {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        UpdateWindow(m_hwnd);   // a hint is shown inside a menu loop: draw it now
    }
}

void TMessageBar::PaintContents(HDC dc, int width, int height) const {
    RECT below{0, 0, width, height};
    if (m_highlightLine) {
        RECT line{0, 0, width, HighlightLineHeight()};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        below.top = line.bottom;
    }
    if (!m_hint) {
        PaintGadgets(dc);
        return;
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutW(dc, m_hintIndent, (height - LineHeight()) / 2, ETO_OPAQUE | ETO_CLIPPED, &below,
                m_hint->c_str(), static_cast<UINT>(m_hint->size()), nullptr);
}
