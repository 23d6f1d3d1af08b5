// The status bar in the program's frame: the hints of the system menu's items while the menu is
// open, the CAPS indicator following the real Caps Lock key, and panes on resizing.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "app/favpage_app.h"
#include "statusbar/status_bar.h"
#include "tests/win32/app/app_script.h"
#include "tests/win32/app/standin_view.h"

namespace {

// The hint of every item the system menu may hold (the program's string table).
const std::map<UINT, std::string> kSystemMenuHints = {
    {SC_SIZE, "Changes the size of the window"},
    {SC_MOVE, "Moves the window to another position"},
    {SC_MINIMIZE, "Reduces the window to an icon"},
    {SC_MAXIMIZE, "Enlarges the window to it maximum size"},
    {SC_NEXTWINDOW, "Switches to next window"},
    {SC_CLOSE, "Closes the window"},
    {SC_RESTORE, "Restores the window to its previous size"},
    {SC_TASKLIST, "Opens task list"},
};

// The system-menu item shown highlighted, or 0.
UINT HighlightedSystemItem() {
    HMENU menu = GetSystemMenu(Frame(), FALSE);
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_HILITE) return GetMenuItemID(menu, i);
    return 0;
}

// The bar's texts are ASCII: narrowed unit by unit, they compare with plain strings.
std::string Narrowed(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string HintOrNone() {
    const auto& hint = Bar().GetHintText();
    return hint ? Narrowed(*hint) : "<none>";
}

TEST(SystemMenuHints, EachHighlightedItemShowsItsHintAndClosingBringsThePanesBack) {
    StandinJournal::Clear();
    std::map<UINT, std::string> shown;   // item -> hint seen while it was highlighted
    UINT first = 0, current = 0;
    int presses = 0;
    bool hintBeforeMenu = true, hintAfterMenu = true;
    std::string capsAfterMenu;
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            hintBeforeMenu = Bar().GetHintText().has_value();
            PostMessageA(Frame(), WM_SYSCOMMAND, SC_KEYMENU, ' ');   // what Alt+Space does
        })
        // Inside the menu loop: rest on each item until its hint shows, then move down, until
        // the highlight comes round to the first item again.
        .Then([&] {
            current = HighlightedSystemItem();
            if (current == 0 || !Bar().GetHintText()) return false;
            // Items without a hint of their own (Wine adds "About Wine") show an empty bar.
            auto expected = kSystemMenuHints.find(current);
            if (HintOrNone() != (expected == kSystemMenuHints.end() ? "" : expected->second))
                return false;
            if (first == 0) {
                first = current;
            } else if (current == first) {
                return true;
            }
            shown[current] = HintOrNone();
            if (++presses > 12) return true;
            PostMessageA(Frame(), WM_KEYDOWN, VK_DOWN, 0x00500001);
            return false;
        })
        .Do([] { EndMenu(); })
        .Then([&] {
            if (Bar().GetHintText()) return false;
            hintAfterMenu = false;
            capsAfterMenu = Narrowed(Bar().IndicatorPane(TStatusBar::CapsLock)->GetText());
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
            return true;
        });
    EXPECT_EQ(script.Run(), 0) << script.Where() << ", highlighted " << current;
    EXPECT_FALSE(hintBeforeMenu);
    EXPECT_FALSE(hintAfterMenu);
    EXPECT_GE(shown.size(), 5u);
    ASSERT_TRUE(shown.count(SC_MOVE)) << "never rested on Move";
    EXPECT_EQ(shown[SC_MOVE], "Moves the window to another position");
    EXPECT_TRUE(shown.count(SC_CLOSE));
    EXPECT_TRUE(capsAfterMenu == "CAPS" || capsAfterMenu == "    ") << capsAfterMenu;
}

// Caps Lock's state is shared by all processes of the Wine server, and a new process may read a
// stale state: tap it, then look, and tap again until it is what the test wants.
class CapsLockKey {
public:
    static void Tap() {
        keybd_event(VK_CAPITAL, 0x3A, 0, 0);
        keybd_event(VK_CAPITAL, 0x3A, KEYEVENTF_KEYUP, 0);
    }
    static bool IsOn() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
};

// A step that taps Caps Lock until its toggle state is `on`, giving each tap some ticks to
// arrive through the message loop.
AppScript::Step DriveCapsLock(bool on, int& taps) {
    auto ticks = std::make_shared<int>(0);
    return [on, &taps, ticks] {
        if (CapsLockKey::IsOn() == on) return true;
        if ((*ticks)++ % 20 == 0 && taps < 8) {
            CapsLockKey::Tap();
            ++taps;
        }
        return false;
    };
}

TEST(CapsIndicator, FollowsCapsLockAtTheNextIdlePassWhileTheDialogHasTheFocus) {
    StandinJournal::Clear();
    int taps = 0;
    bool focusInView = false;
    std::string whenOn, whenOff;
    AppScript script;
    script.Then([] { return Client() != nullptr && GetForegroundWindow() == Frame(); })
        .Do([&] {
            HWND focus = GetFocus();
            focusInView = focus && (focus == Client() || IsChild(Client(), focus));
        })
        .Then(DriveCapsLock(true, taps))
        .Then([&] { return Bar().IndicatorPane(TStatusBar::CapsLock)->GetText() == L"CAPS"; })
        .Do([&] { whenOn = Narrowed(Bar().IndicatorPane(TStatusBar::CapsLock)->GetText()); })
        .Then(DriveCapsLock(false, taps))
        .Then([&] { return Bar().IndicatorPane(TStatusBar::CapsLock)->GetText() == L"    "; })
        .Do([&] {
            whenOff = Narrowed(Bar().IndicatorPane(TStatusBar::CapsLock)->GetText());
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
        });
    const int result = script.Run(SW_SHOWNORMAL, 30000);
    EXPECT_EQ(result, 0) << script.Where() << " after " << taps << " taps";
    EXPECT_TRUE(focusInView);
    EXPECT_EQ(whenOn, "CAPS");
    EXPECT_EQ(whenOff, "    ");
    EXPECT_FALSE(CapsLockKey::IsOn()) << "Caps Lock left on";
}

struct PaneBox {
    int left, width, top, height;
};

std::vector<PaneBox> Panes() {
    std::vector<PaneBox> panes;
    for (std::size_t i = 0; i < Bar().GadgetCount(); ++i) {
        const RECT& r = Bar().Gadget(i).Bounds();
        panes.push_back({r.left, r.right - r.left, r.top, r.bottom - r.top});
    }
    return panes;
}

TEST(PanesOnResize, OnlyTheMessagePaneChangesWidth) {
    StandinJournal::Clear();
    std::vector<PaneBox> before, wider, narrower;
    RECT frame{};
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            before = Panes();
            GetWindowRect(Frame(), &frame);
            SetWindowPos(Frame(), nullptr, 0, 0, frame.right - frame.left + 120,
                         frame.bottom - frame.top + 30, SWP_NOMOVE | SWP_NOZORDER);
            wider = Panes();
            SetWindowPos(Frame(), nullptr, 0, 0, frame.right - frame.left - 80,
                         frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
            narrower = Panes();
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    ASSERT_EQ(before.size(), 5u);   // message pane, CAPS, NUM, SCRL, OVR
    ASSERT_EQ(wider.size(), 5u);
    ASSERT_EQ(narrower.size(), 5u);
    EXPECT_EQ(wider[0].width - before[0].width, 120);
    EXPECT_EQ(narrower[0].width - before[0].width, -80);
    for (std::size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE("pane " + std::to_string(i));
        EXPECT_EQ(wider[i].height, before[i].height);
        EXPECT_EQ(wider[i].top, before[i].top);
        if (i == 0) continue;
        EXPECT_EQ(wider[i].width, before[i].width);
        EXPECT_EQ(narrower[i].width, before[i].width);
        EXPECT_EQ(wider[i].left - before[i].left, 120);
        EXPECT_EQ(narrower[i].left - before[i].left, -80);
    }
}

}  // namespace
