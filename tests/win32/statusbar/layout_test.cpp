// The status bar's font and geometry: panes, widths, gaps, margins and height, measured in the
// bar's own font, for each border style; and what resizing moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "statusbar/status_bar.h"

namespace {

constexpr unsigned kProgramModes =
    TStatusBar::CapsLock | TStatusBar::NumLock | TStatusBar::ScrollLock | TStatusBar::Overtype;

// The font's metrics and text widths, measured here without the bar's help.
struct FontMeasure {
    explicit FontMeasure(HFONT font) : dc(GetDC(nullptr)), previous(SelectObject(dc, font)) {
        GetTextMetricsA(dc, &tm);
    }
    ~FontMeasure() {
        SelectObject(dc, previous);
        ReleaseDC(nullptr, dc);
    }
    int Width(const wchar_t* text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
        return size.cx;
    }
    int LineHeight() const { return tm.tmHeight + tm.tmExternalLeading; }
    int Units(int n) const { return (n * LineHeight() + 4) / 8; }

    HDC dc;
    HGDIOBJ previous;
    TEXTMETRICA tm{};
};

// These tests also run in a prefix whose screen has 144 pixels per inch (FAVPAGE_TEST_DPI).
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(StatusBarFont, IsTenPointMsSansSerifForTheScreensResolution) {
    TStatusBar bar(nullptr, TBorderStyle::Recessed, kProgramModes, new TGadgetWindowFont(10));
    LOGFONTA lf{};
    ASSERT_TRUE(GetObjectA(bar.Font(), sizeof lf, &lf));
    const int dpi = ScreenDpi();
    if (const char* wanted = std::getenv("FAVPAGE_TEST_DPI")) {
        ASSERT_EQ(dpi, std::atoi(wanted)) << "the prefix's LogPixels did not take";
    }
    EXPECT_EQ(lf.lfHeight, -((10 * dpi + 36) / 72)) << "at " << dpi << " pixels per inch";
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_EQ(lf.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
}

struct StyleCase {
    const char* name;
    TBorderStyle style;
    bool highlightLine;
    int spacingUnits;
    bool sideMargins;   // 4 layout units left and right, one border top and bottom
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class StatusBarLayout : public ::testing::TestWithParam<StyleCase> {};

TEST_P(StatusBarLayout, PanesSitInsideTheMarginsWithGapsAndTheMessagePaneTakesTheRest) {
    const StyleCase& c = GetParam();
    TStatusBar bar(nullptr, c.style, kProgramModes, new TGadgetWindowFont(10));
    const FontMeasure font(bar.Font());
    const int border = GetSystemMetrics(SM_CYBORDER);
    const int paneBorder = c.style == TBorderStyle::None       ? 0
                           : c.style == TBorderStyle::Embossed ? 2 * border
                                                               : border;
    const int side = c.sideMargins ? font.Units(4) : 0;
    const int edge = c.sideMargins ? border : 0;
    const int line = c.highlightLine ? border : 0;
    const int spacing = font.Units(c.spacingUnits);

    EXPECT_EQ(bar.HasHighlightLine(), c.highlightLine);
    EXPECT_EQ(bar.IndicatorCount(), 4);
    const int height = bar.DesiredHeight();
    EXPECT_EQ(height, line + edge + font.LineHeight() + 2 * paneBorder + edge);

    const int width = 600;
    bar.LayoutGadgets(width, height);
    ASSERT_EQ(bar.GadgetCount(), 5u);
    const wchar_t* const on[] = {L"CAPS", L"NUM", L"SCRL", L"OVR"};
    const wchar_t* const off[] = {L"    ", L"   ", L"    ", L"   "};
    int x = side;
    for (std::size_t i = 0; i < bar.GadgetCount(); ++i) {
        SCOPED_TRACE("pane " + std::to_string(i));
        const RECT& r = bar.Gadget(i).Bounds();
        if (i > 0) {
            x += spacing;
            // Room for the wider of its two texts, whatever the resolution.
            EXPECT_EQ(r.right - r.left, std::max(font.Width(on[i - 1]), font.Width(off[i - 1])) +
                                            2 * paneBorder + 2 * font.Units(1));
            EXPECT_EQ(bar.Gadget(i).GetText(), off[i - 1]);   // all blank at start
        }
        EXPECT_EQ(r.left, x);
        EXPECT_EQ(r.top, line + edge);
        EXPECT_EQ(r.bottom - r.top, font.LineHeight() + 2 * paneBorder);
        x = r.right;
    }
    EXPECT_EQ(x, width - side);   // the message pane stretched to fill the row
}

INSTANTIATE_TEST_SUITE_P(
    StatusBar, StatusBarLayout,
    ::testing::Values(StyleCase{"Recessed", TBorderStyle::Recessed, true, 2, true},
                      StyleCase{"Raised", TBorderStyle::Raised, true, 2, true},
                      StyleCase{"None", TBorderStyle::None, true, 2, false},
                      StyleCase{"Plain", TBorderStyle::Plain, false, 0, false},
                      StyleCase{"Embossed", TBorderStyle::Embossed, false, 0, false}),
    [](const ::testing::TestParamInfo<StyleCase>& info) { return info.param.name; });

TEST(StatusBarWindow, IsTheFramesChildWithTheStatusBarIdAtItsBottomAcrossItsWidth) {
    auto* frame = new TDecoratedFrame(nullptr, L"host");
    auto* bar = new TStatusBar(frame, TBorderStyle::Recessed, kProgramModes,
                               new TGadgetWindowFont(10));
    frame->Insert(*bar);
    frame->Create();
    SetWindowPos(frame->GetHandle(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT area{}, barRect{};
    GetClientRect(frame->GetHandle(), &area);
    GetWindowRect(bar->GetHandle(), &barRect);
    MapWindowPoints(nullptr, frame->GetHandle(), reinterpret_cast<POINT*>(&barRect), 2);
    EXPECT_EQ(GetDlgCtrlID(bar->GetHandle()), 32040);
    EXPECT_EQ(barRect.bottom - barRect.top, bar->DesiredHeight());
    const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
    EXPECT_EQ(barRect.left, area.left - bx);
    EXPECT_EQ(barRect.right, area.right + bx);
    EXPECT_EQ(barRect.bottom, area.bottom + by);
    // The panes follow the window's width: the last one ends at the right margin.
    RECT client{};
    GetClientRect(bar->GetHandle(), &client);
    EXPECT_EQ(bar->Gadget(bar->GadgetCount() - 1).Bounds().right,
              client.right - bar->Margins().right);
    delete frame;
}

}  // namespace
