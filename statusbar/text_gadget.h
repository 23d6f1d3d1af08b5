// statusbar/text_gadget.h: TTextGadget, one pane of text in a row of panes.
#pragma once
#include <windows.h>

#include <string>

class TGadgetWindow;

// How a pane's edge is drawn. Plain and embossed rows have no highlight line and no spacing.
enum class TBorderStyle { None = 0, Plain = 1, Raised = 2, Recessed = 3, Embossed = 4 };

// A pane showing one line of text in its window's font. Its width is either fixed or whatever
// the row leaves over (a stretching pane); its height follows the font.
class TTextGadget {
public:
    enum class Align { Left, Center, Right };

    TTextGadget(int id, TBorderStyle border, Align align, unsigned numChars,
                const wchar_t* text = nullptr);
    TTextGadget(const TTextGadget&) = delete;
    TTextGadget& operator=(const TTextGadget&) = delete;

    int Id() const { return m_id; }
    const std::wstring& GetText() const { return m_text; }
    // Changes the text and redraws the pane when it shows.
    void SetText(const wchar_t* text);

    TBorderStyle GetBorderStyle() const { return m_border; }
    void SetBorderStyle(TBorderStyle border) { m_border = border; }
    // Thickness of the edge in pixels, on each side.
    int BorderWidth() const;
    int BorderHeight() const;

    // Room between the edge and the text, in layout units of the window.
    void SetMargins(int left, int right);
    int LeftMargin() const { return m_leftMargin; }
    int RightMargin() const { return m_rightMargin; }

    unsigned NumChars() const { return m_numChars; }
    bool Stretches() const { return m_stretch; }
    void SetStretch(bool stretch) { m_stretch = stretch; }
    // A fixed width in pixels; 0 means room for NumChars() average characters.
    void SetFixedWidth(int pixels) { m_fixedWidth = pixels; }
    int FixedWidth() const { return m_fixedWidth; }

    // Where the window placed the pane, in its client coordinates.
    const RECT& Bounds() const { return m_bounds; }

    // Draws edge and text; the window's font is selected into `dc`.
    void Paint(HDC dc, const TGadgetWindow& window) const;

private:
    friend class TGadgetWindow;
    void SetBounds(const RECT& bounds) { m_bounds = bounds; }

    int m_id;
    TBorderStyle m_border;
    Align m_align;
    unsigned m_numChars;
    std::wstring m_text;
    int m_leftMargin = 2;
    int m_rightMargin = 2;
    bool m_stretch = false;
    int m_fixedWidth = 0;
    RECT m_bounds{};
    TGadgetWindow* m_window = nullptr;
};
