// Menu hints: which hint the frame chooses for a highlighted item, when it shows it, how long it
// may be, that closing the menu removes it; and that a hint is drawn across the whole bar in
// place of the panes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "statusbar/status_bar.h"
#include "tests/win32/statusbar/test_strings.h"

namespace {

constexpr unsigned kProgramModes =
    TStatusBar::CapsLock | TStatusBar::NumLock | TStatusBar::ScrollLock | TStatusBar::Overtype;
const std::string kLongHint = [] {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        char part[8];
        wsprintfA(part, "%03d-", i);
        text += part;
    }
    return text;
}();

// A frame that tracks menu selection (or not) with the status bar, its windows created.
class HintFrame {
public:
    explicit HintFrame(bool track) {
        m_frame = new TDecoratedFrame(nullptr, L"host", nullptr, track);
        m_bar = new TStatusBar(m_frame, TBorderStyle::Recessed, kProgramModes,
                               new TGadgetWindowFont(10));
        m_frame->Insert(*m_bar);
        m_frame->Create();
    }
    ~HintFrame() { delete m_frame; }

    void Select(UINT item, UINT flags, HMENU menu = nullptr) {
        SendMessageA(m_frame->GetHandle(), WM_MENUSELECT, MAKEWPARAM(item, flags),
                     reinterpret_cast<LPARAM>(menu));
    }
    void Idle(WPARAM source = MSGF_MENU) {
        SendMessageA(m_frame->GetHandle(), WM_ENTERIDLE, source, 0);
    }
    void Closed() { Select(0, 0xFFFF, nullptr); }
    std::string Hint() const {
        const auto& hint = m_bar->GetHintText();
        // The hints are ASCII: narrowed unit by unit, they compare with plain strings.
        return hint ? "[" + std::string(hint->begin(), hint->end()) + "]" : "<none>";
    }
    TStatusBar& Bar() { return *m_bar; }

private:
    TDecoratedFrame* m_frame;
    TStatusBar* m_bar;
};

// A menu whose first entry opens a sub-menu and whose second is the test item.
struct TestMenu {
    TestMenu() {
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Sub");
        AppendMenuA(menu, MF_STRING, IDS_TEST_HINT, "Item");
    }
    ~TestMenu() { DestroyMenu(menu); }
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
};

struct SelectCase {
    const char* name;
    UINT item;       // an item number, or a position for MF_POPUP
    UINT flags;
    std::string shown;
};

void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.name; }

class MenuHint : public ::testing::TestWithParam<SelectCase> {};

TEST_P(MenuHint, IsChosenOnSelectionAndShownWhenTheMenuGoesIdle) {
    HintFrame frame(true);
    TestMenu menu;
    frame.Select(GetParam().item, GetParam().flags, menu.menu);
    EXPECT_EQ(frame.Hint(), "<none>");   // nothing until the menu loop is idle
    frame.Idle();
    EXPECT_EQ(frame.Hint(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    StatusBar, MenuHint,
    ::testing::Values(
        SelectCase{"Item", IDS_TEST_HINT, MF_HILITE, "[Runs the test item]"},
        SelectCase{"LongHintIsCut", IDS_TEST_LONG_HINT, MF_HILITE, "[" + kLongHint.substr(0, 127) + "]"},
        SelectCase{"NoString", IDS_TEST_NO_STRING, MF_HILITE, "[]"},
        SelectCase{"Separator", IDS_TEST_HINT, MF_SEPARATOR, "[]"},
        SelectCase{"MenuBreak", IDS_TEST_HINT, MF_HILITE | MF_MENUBREAK, "[]"},
        SelectCase{"MenuBarBreak", IDS_TEST_HINT, MF_HILITE | MF_MENUBARBREAK, "[]"},
        SelectCase{"BelowWindowList", IDS_TEST_LIST_LOW, MF_HILITE, "[Below the window list]"},
        SelectCase{"WindowListItem", IDS_TEST_LIST_ITEM, MF_HILITE, "[]"},
        SelectCase{"AboveWindowList", IDS_TEST_LIST_HIGH, MF_HILITE, "[Above the window list]"},
        SelectCase{"SubMenuEntry", 0, MF_POPUP | MF_HILITE, "[]"},
        SelectCase{"PopupFlagOnAnItem", 1, MF_POPUP | MF_HILITE, "[Runs the test item]"}),
    [](const ::testing::TestParamInfo<SelectCase>& info) { return info.param.name; });

TEST(MenuHintTiming, IsLookedUpOnceOnlyForAMenusIdleMomentAndGoesWhenTheMenuCloses) {
    HintFrame frame(true);
    frame.Select(IDS_TEST_HINT, MF_HILITE);
    frame.Idle(MSGF_DIALOGBOX);   // a dialog's idle moment is not the menu's
    EXPECT_EQ(frame.Hint(), "<none>");
    frame.Idle();
    EXPECT_EQ(frame.Hint(), "[Runs the test item]");
    frame.Bar().SetHintText(L"changed meanwhile");
    frame.Idle();   // the hint of this item was already shown: no second lookup
    EXPECT_EQ(frame.Hint(), "[changed meanwhile]");
    frame.Closed();
    EXPECT_EQ(frame.Hint(), "<none>");
    frame.Idle();
    EXPECT_EQ(frame.Hint(), "<none>");
    // A menu that closes before it went idle leaves no hint due.
    frame.Select(IDS_TEST_HINT, MF_HILITE);
    frame.Closed();
    frame.Idle();
    EXPECT_EQ(frame.Hint(), "<none>");
}

TEST(MenuHintTiming, AFrameThatDoesNotTrackSelectionShowsNone) {
    HintFrame frame(false);
    frame.Select(IDS_TEST_HINT, MF_HILITE);
    frame.Idle();
    EXPECT_EQ(frame.Hint(), "<none>");
}

// `pixels` at 96 pixels per inch, in proportion on this screen (these tests also run at 144).
int Scaled(int pixels) {
    HDC screen = GetDC(nullptr);
    const int scaled = MulDiv(pixels, GetDeviceCaps(screen, LOGPIXELSX), 96);
    ReleaseDC(nullptr, screen);
    return scaled;
}

// The bar drawn into a bitmap of its own size.
class BarPicture {
public:
    explicit BarPicture(TStatusBar& bar, int width = Scaled(420))
        : m_width(width), m_height(bar.DesiredHeight()) {
        bar.LayoutGadgets(m_width, m_height);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;   // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS,
                                    reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        bar.Paint(m_dc, m_width, m_height);
        GdiFlush();
    }
    ~BarPicture() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    COLORREF At(int x, int y) const {
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Pixels in columns [x0, x1) below the top line that are not the button face.
    int InkBetween(int x0, int x1) const {
        int ink = 0;
        for (int y = 1; y < m_height; ++y)
            for (int x = x0; x < x1; ++x)
                if (At(x, y) != GetSysColor(COLOR_BTNFACE)) ++ink;
        return ink;
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    DWORD* m_bits = nullptr;
};

TEST(HintDrawing, ReplacesThePanesAcrossTheWholeBarBelowTheHighlightLine) {
    TStatusBar bar(nullptr, TBorderStyle::Recessed, kProgramModes, new TGadgetWindowFont(10));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

    BarPicture panes(bar);
    const RECT caps = bar.Gadget(1).Bounds();
    const int middle = (caps.top + caps.bottom) / 2;
    for (int x = 0; x < panes.Width(); x += 37) EXPECT_EQ(panes.At(x, 0), light) << "x " << x;
    EXPECT_EQ(panes.At(caps.left, middle), shadow);   // the CAPS pane's sunken edge
    EXPECT_EQ(panes.At(caps.left - 1, middle), face);   // the gap before it

    bar.SetHintText(L"Runs the test item");
    BarPicture hint(bar);
    for (int x = 0; x < hint.Width(); x += 37) EXPECT_EQ(hint.At(x, 0), light) << "x " << x;
    EXPECT_EQ(hint.At(caps.left, middle), face);   // no panes under a hint
    // The text starts 5 pixels in at 96 pixels per inch, as far in proportion at any other.
    const int indent = Scaled(5);
    EXPECT_EQ(bar.HintIndent(), indent);
    EXPECT_EQ(hint.InkBetween(0, indent), 0);
    EXPECT_GT(hint.InkBetween(indent, caps.left), 0);
    EXPECT_EQ(hint.InkBetween(caps.left, hint.Width()), 0);   // short text, nothing to the right

    bar.SetHintText(std::wstring(80, L'W').c_str());
    BarPicture wide(bar);
    EXPECT_GT(wide.InkBetween(bar.Gadget(4).Bounds().left, wide.Width()), 0);   // over OVR's place

    bar.SetHintText(L"");
    BarPicture empty(bar);
    EXPECT_EQ(empty.InkBetween(0, empty.Width()), 0);   // an empty hint is a blank bar

    bar.SetHintText(nullptr);
    BarPicture back(bar);
    EXPECT_EQ(back.At(caps.left, middle), shadow);
}

TEST(HintDrawing, TextIsCentredVertically) {
    TStatusBar bar(nullptr, TBorderStyle::Recessed, kProgramModes, new TGadgetWindowFont(10));
    bar.SetHintText(L"Wy|");   // a capital, a descender and a full-height stroke
    BarPicture hint(bar);
    int top = hint.Height(), bottom = -1;
    for (int y = 1; y < hint.Height(); ++y)
        for (int x = 0; x < 60; ++x)
            if (hint.At(x, y) != GetSysColor(COLOR_BTNFACE)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const int lineTop = (hint.Height() - bar.LineHeight()) / 2;
    EXPECT_GE(top, lineTop);
    EXPECT_LT(bottom, lineTop + bar.LineHeight());
}

}  // namespace
