// statusbar/message_bar.h: TMessageBar, a row of panes led by a message pane, that can show a
// hint across its whole width.
#pragma once
#include <optional>
#include <string>

#include "framework/decorated_frame.h"
#include "statusbar/gadget_window.h"

// The frame finds it by its window id, IDW_STATUSBAR, to show menu hints. A line of the 3-D
// highlight colour runs across its top edge, so it stands apart from the client above it.
class TMessageBar : public TGadgetWindow, public THintBar {
public:
    // Takes ownership of `font`.
    TMessageBar(TWindow* parent, TGadgetWindowFont* font);

    // The first pane: left-aligned, stretching to what the other panes leave.
    TTextGadget& MessagePane() const { return Gadget(0); }

    bool HasHighlightLine() const { return m_highlightLine; }
    void SetHighlightLine(bool on) { m_highlightLine = on; }
    // Height of the highlight line in pixels: one border.
    int HighlightLineHeight() const;

    // Pixels between the bar's left edge and a hint: 5 at 96 pixels per inch, scaled to the screen.
    int HintIndent() const { return m_hintIndent; }
    // While a hint is set, it is drawn over the whole bar in place of the panes.
    void SetHintText(const wchar_t* text) override;
    const std::optional<std::wstring>& GetHintText() const { return m_hint; }

    int DesiredHeight() const override;

protected:
    RECT InnerRect(int width, int height) const override;
    void PaintContents(HDC dc, int width, int height) const override;

private:
    bool m_highlightLine = true;
    int m_hintIndent;
    std::optional<std::wstring> m_hint;
};
