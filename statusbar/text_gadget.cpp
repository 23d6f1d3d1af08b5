// statusbar/text_gadget.cpp: the edge and text of one pane.
#include "statusbar/text_gadget.h"

#include "statusbar/gadget_window.h"

TTextGadget::TTextGadget(int id, TBorderStyle border, Align align, unsigned numChars,
                         const wchar_t* text)
    : m_id(id), m_border(border), m_align(align), m_numChars(numChars), m_text(text ? text : L"") {}

void TTextGadget::SetText(const wchar_t* text) {
    const std::wstring next = text ? text : L"";
    if (next == m_text) return;
    m_text = next;
    if (m_window) m_window->InvalidateGadget(*this);
}

int TTextGadget::BorderWidth() const {
    switch (m_border) {
    case TBorderStyle::None: return 0;
    case TBorderStyle::Embossed: return 2 * GetSystemMetrics(SM_CXBORDER);
    default: return GetSystemMetrics(SM_CXBORDER);
    }
}

int TTextGadget::BorderHeight() const {
    switch (m_border) {
    case TBorderStyle::None: return 0;
    case TBorderStyle::Embossed: return 2 * GetSystemMetrics(SM_CYBORDER);
    default: return GetSystemMetrics(SM_CYBORDER);
    }
}

void TTextGadget::SetMargins(int left, int right) {
    m_leftMargin = left;
    m_rightMargin = right;
}

void TTextGadget::Paint(HDC dc, const TGadgetWindow& window) const {
    RECT edge = m_bounds;
    switch (m_border) {
    case TBorderStyle::None: break;
    case TBorderStyle::Plain: FrameRect(dc, &edge, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
    case TBorderStyle::Raised: DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT); break;
    case TBorderStyle::Recessed: DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT); break;
    case TBorderStyle::Embossed: DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT); break;
    }
    RECT text = m_bounds;
    text.left += BorderWidth() + window.LayoutUnitsToPixels(m_leftMargin);
    text.right -= BorderWidth() + window.LayoutUnitsToPixels(m_rightMargin);
    text.top += BorderHeight();
    text.bottom -= BorderHeight();
    if (text.right <= text.left || m_text.empty()) return;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    format |= m_align == Align::Center ? DT_CENTER : m_align == Align::Right ? DT_RIGHT : DT_LEFT;
    DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &text, format);
}
