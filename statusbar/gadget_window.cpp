// statusbar/gadget_window.cpp: measuring, laying out and drawing a row of panes.
#include "statusbar/gadget_window.h"

#include <algorithm>

#include "framework/dc.h"

namespace {

// Selects a font into a context for one scope.
class FontSelection {
public:
    FontSelection(HDC dc, HFONT font) : m_dc(dc), m_previous(SelectObject(dc, font)) {}
    ~FontSelection() { SelectObject(m_dc, m_previous); }
    FontSelection(const FontSelection&) = delete;
    FontSelection& operator=(const FontSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace

TGadgetWindow::TGadgetWindow(TWindow* parent, TGadgetWindowFont* font)
    : TWindow(parent), m_font(font ? font : new TGadgetWindowFont(10)) {
    Attr().style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    TScreenDC screen;
    FontSelection use(screen.Handle(), m_font->Handle());
    const TEXTMETRICW tm = screen.TextMetrics();
    m_lineHeight = tm.tmHeight + tm.tmExternalLeading;
    m_averageCharWidth = tm.tmAveCharWidth;
}

TGadgetWindow::~TGadgetWindow() = default;

void TGadgetWindow::GetWindowClass(WNDCLASSW& wc) const {
    TWindow::GetWindowClass(wc);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

void TGadgetWindow::Insert(TTextGadget* gadget) {
    gadget->m_window = this;
    m_gadgets.emplace_back(gadget);
    if (m_hwnd) {
        RECT rc{};
        GetClientRect(m_hwnd, &rc);
        LayoutGadgets(rc.right, rc.bottom);
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
}

int TGadgetWindow::TextWidth(const std::wstring& text) const {
    TScreenDC screen;
    FontSelection use(screen.Handle(), m_font->Handle());
    SIZE size{};
    GetTextExtentPoint32W(screen.Handle(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int TGadgetWindow::DesiredWidth(const TTextGadget& gadget) const {
    if (gadget.FixedWidth() > 0) return gadget.FixedWidth();
    return static_cast<int>(gadget.NumChars()) * m_averageCharWidth + 2 * gadget.BorderWidth() +
           LayoutUnitsToPixels(gadget.LeftMargin()) + LayoutUnitsToPixels(gadget.RightMargin());
}

int TGadgetWindow::GadgetHeight(const TTextGadget& gadget) const {
    return m_lineHeight + 2 * gadget.BorderHeight();
}

int TGadgetWindow::DesiredHeight() const {
    int tallest = 0;
    for (const auto& gadget : m_gadgets) tallest = std::max(tallest, GadgetHeight(*gadget));
    return m_margins.top + tallest + m_margins.bottom;
}

RECT TGadgetWindow::InnerRect(int width, int height) const {
    return RECT{m_margins.left, m_margins.top, width - m_margins.right, height - m_margins.bottom};
}

void TGadgetWindow::LayoutGadgets(int width, int height) {
    const RECT inner = InnerRect(width, height);
    int fixed = 0, stretching = 0;
    for (std::size_t i = 0; i < m_gadgets.size(); ++i) {
        if (i > 0) fixed += m_spacing;
        if (m_gadgets[i]->Stretches())
            ++stretching;
        else
            fixed += DesiredWidth(*m_gadgets[i]);
    }
    const int leftOver = std::max(0, static_cast<int>(inner.right - inner.left) - fixed);
    int x = inner.left;
    int shared = 0;
    for (std::size_t i = 0; i < m_gadgets.size(); ++i) {
        TTextGadget& gadget = *m_gadgets[i];
        if (i > 0) x += m_spacing;
        int w = DesiredWidth(gadget);
        if (gadget.Stretches()) {
            // The last stretching pane takes the remainder of the division.
            w = ++shared == stretching ? leftOver - (leftOver / stretching) * (stretching - 1)
                                       : leftOver / stretching;
        }
        gadget.SetBounds(RECT{x, inner.top, x + w, inner.top + GadgetHeight(gadget)});
        x += w;
    }
}

void TGadgetWindow::Paint(HDC dc, int width, int height) const {
    RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    FontSelection use(dc, m_font->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    PaintContents(dc, width, height);
}

void TGadgetWindow::PaintContents(HDC dc, int, int) const { PaintGadgets(dc); }

void TGadgetWindow::PaintGadgets(HDC dc) const {
    for (const auto& gadget : m_gadgets) gadget->Paint(dc, *this);
}

void TGadgetWindow::InvalidateGadget(const TTextGadget& gadget) {
    if (m_hwnd) InvalidateRect(m_hwnd, &gadget.Bounds(), TRUE);
}

void TGadgetWindow::Create() {
    Attr().h = DesiredHeight();
    TWindow::Create();
}

bool TGadgetWindow::Dispatch(TEvent& ev) {
    static constexpr TResponse<TGadgetWindow> kTable[] = {
        Message(WM_PAINT, &TGadgetWindow::EvPaint),
        Message(WM_SIZE, &TGadgetWindow::EvSize),
    };
    return Respond(*this, kTable, ev) || TWindow::Dispatch(ev);
}

LRESULT TGadgetWindow::EvPaint(TEvent&) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT rc{};
    GetClientRect(m_hwnd, &rc);
    Paint(dc, rc.right, rc.bottom);
    EndPaint(m_hwnd, &ps);
    return 0;
}

LRESULT TGadgetWindow::EvSize(TEvent& ev) {
    LayoutGadgets(LOWORD(ev.lp), HIWORD(ev.lp));
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}
