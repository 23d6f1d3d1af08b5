// statusbar/gadget_window.h: TGadgetWindow, a child window holding a row of panes.
#pragma once
#include <memory>
#include <vector>

#include "framework/window.h"
#include "statusbar/gadget_window_font.h"
#include "statusbar/text_gadget.h"

// Panes laid out left to right inside the window's margins, with a gap of the spacing before
// every pane but the first. Stretching panes share what the fixed ones leave. Sizes are given in
// layout units: one eighth of the font's line height.
class TGadgetWindow : public TWindow {
public:
    // Takes ownership of `font`; nullptr gives the panes' usual 10-point font.
    TGadgetWindow(TWindow* parent, TGadgetWindowFont* font);
    ~TGadgetWindow() override;

    // Appends `gadget` at the right end of the row; the window owns it from now on.
    void Insert(TTextGadget* gadget);
    std::size_t GadgetCount() const { return m_gadgets.size(); }
    TTextGadget& Gadget(std::size_t index) const { return *m_gadgets[index]; }

    HFONT Font() const { return m_font->Handle(); }
    // Cell height plus external leading of the font, measured when the window was constructed.
    int LineHeight() const { return m_lineHeight; }
    int AverageCharWidth() const { return m_averageCharWidth; }
    // n layout units in pixels: (n * line height + 4) / 8.
    int LayoutUnitsToPixels(int units) const { return (units * m_lineHeight + 4) / 8; }
    // Width of `text` in the window's font.
    int TextWidth(const std::wstring& text) const;

    // Room between the window's edge and its panes, in pixels.
    void SetMargins(const RECT& margins) { m_margins = margins; }
    const RECT& Margins() const { return m_margins; }
    // Gap before every pane but the first, in pixels.
    void SetSpacing(int pixels) { m_spacing = pixels; }
    int Spacing() const { return m_spacing; }

    // Width a pane asks for: fixed, or room for its characters, edges and margins.
    int DesiredWidth(const TTextGadget& gadget) const;
    int GadgetHeight(const TTextGadget& gadget) const;
    // The window's height: the tallest pane and the margins.
    virtual int DesiredHeight() const;

    // Places the panes for a client area of `width` by `height` pixels.
    void LayoutGadgets(int width, int height);
    // Draws the whole window into `dc` for a client area of `width` by `height`.
    void Paint(HDC dc, int width, int height) const;
    // Redraws one pane.
    void InvalidateGadget(const TTextGadget& gadget);

    // Made at the height the panes need; the frame that holds it sets width and place.
    void Create() override;

protected:
    bool Dispatch(TEvent& ev) override;
    const wchar_t* ClassName() const override { return L"TGadgetWindow"; }
    void GetWindowClass(WNDCLASSW& wc) const override;
    // The part of the client area the panes share.
    virtual RECT InnerRect(int width, int height) const;
    // Everything drawn over the button-face background.
    virtual void PaintContents(HDC dc, int width, int height) const;
    void PaintGadgets(HDC dc) const;

private:
    LRESULT EvPaint(TEvent& ev);
    LRESULT EvSize(TEvent& ev);

    std::unique_ptr<TGadgetWindowFont> m_font;
    int m_lineHeight = 0;
    int m_averageCharWidth = 0;
    RECT m_margins{};
    int m_spacing = 0;
    std::vector<std::unique_ptr<TTextGadget>> m_gadgets;
};
