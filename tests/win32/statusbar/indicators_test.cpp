// The lock-key indicators: which panes a mask creates and in what order, their words, the keys
// that toggle them on the way in, and the idle check against the keyboard's toggle states.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "statusbar/status_bar.h"
#include "tests/win32/statusbar/test_strings.h"

namespace {

using Mode = TStatusBar::TModeIndicator;
constexpr unsigned kProgramModes =
    TStatusBar::CapsLock | TStatusBar::NumLock | TStatusBar::ScrollLock | TStatusBar::Overtype;
constexpr Mode kAllModes[] = {TStatusBar::ExtendSelection, TStatusBar::CapsLock,
                              TStatusBar::NumLock,         TStatusBar::ScrollLock,
                              TStatusBar::Overtype,        TStatusBar::RecordingMacro};

std::unique_ptr<TStatusBar> MakeBar(unsigned modes) {
    return std::make_unique<TStatusBar>(nullptr, TBorderStyle::Recessed, modes,
                                        new TGadgetWindowFont(10));
}

// The words are ASCII: narrowed unit by unit, they compare with plain strings.
std::vector<std::string> Narrowed(const std::vector<std::wstring>& words) {
    std::vector<std::string> narrow;
    for (const std::wstring& w : words) narrow.emplace_back(w.begin(), w.end());
    return narrow;
}

// Texts of the indicator panes, left to right.
std::vector<std::string> PaneTexts(const TStatusBar& bar) {
    std::vector<std::wstring> texts;
    for (std::size_t i = 1; i < bar.GadgetCount(); ++i) texts.push_back(bar.Gadget(i).GetText());
    return Narrowed(texts);
}

struct MaskCase {
    const char* name;
    unsigned mask;
    std::vector<std::string> whenOn;   // the panes' texts with every indicator on
};

void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.name; }

class IndicatorMask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(IndicatorMask, CreatesOnePanePerBitInBitOrder) {
    auto bar = MakeBar(GetParam().mask);
    EXPECT_EQ(bar->IndicatorCount(), static_cast<int>(GetParam().whenOn.size()));
    for (Mode mode : kAllModes) bar->SetModeIndicator(mode, true);
    EXPECT_EQ(PaneTexts(*bar), GetParam().whenOn);
    for (Mode mode : kAllModes) EXPECT_TRUE(bar->GetModeIndicator(mode));   // recorded all the same
}

INSTANTIATE_TEST_SUITE_P(
    StatusBar, IndicatorMask,
    ::testing::Values(MaskCase{"Program", kProgramModes, {"CAPS", "NUM", "SCRL", "OVR"}},
                      MaskCase{"All", 63, {"EXT", "CAPS", "NUM", "SCRL", "OVR", "REC"}},
                      MaskCase{"CapsAndRecording", 2 | 32, {"CAPS", "REC"}},
                      MaskCase{"None", 0, {}}),
    [](const ::testing::TestParamInfo<MaskCase>& info) { return info.param.name; });

TEST(Indicators, StartBlankAndShowTheirWordOnlyWhileOn) {
    auto bar = MakeBar(kProgramModes);
    const std::vector<std::string> blank = {"    ", "   ", "    ", "   "};
    EXPECT_EQ(PaneTexts(*bar), blank);
    bar->ToggleModeIndicator(TStatusBar::NumLock);
    EXPECT_EQ(PaneTexts(*bar), (std::vector<std::string>{"    ", "NUM", "    ", "   "}));
    bar->SetModeIndicator(TStatusBar::Overtype, true);
    bar->SetModeIndicator(TStatusBar::Overtype, true);   // setting twice is still on
    bar->ToggleModeIndicator(TStatusBar::NumLock);
    EXPECT_EQ(PaneTexts(*bar), (std::vector<std::string>{"    ", "   ", "    ", "OVR"}));
    // An indicator without a pane changes no pane.
    bar->SetModeIndicator(TStatusBar::ExtendSelection, true);
    EXPECT_EQ(PaneTexts(*bar), (std::vector<std::string>{"    ", "   ", "    ", "OVR"}));
    EXPECT_EQ(bar->IndicatorPane(TStatusBar::ExtendSelection), nullptr);
}

TEST(IndicatorWords, ComeFromTheStringSplitAtBarsWithBuiltInWordsForWhatIsMissing) {
    const wchar_t* builtin = L"EXT|CAPS|NUM|SCRL|OVR|REC";
    EXPECT_EQ(Narrowed(LoadIndicatorWords(IDS_TEST_FEW_WORDS, builtin)),
              (std::vector<std::string>{"A", "BB", "CCC", "SCRL", "OVR", "REC"}));
    EXPECT_EQ(Narrowed(LoadIndicatorWords(IDS_TEST_MANY_WORDS, builtin)),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(Narrowed(LoadIndicatorWords(IDS_TEST_NO_STRING, builtin)),
              (std::vector<std::string>{"EXT", "CAPS", "NUM", "SCRL", "OVR", "REC"}));
    EXPECT_EQ(Narrowed(LoadIndicatorWords(32531, L"x")),
              (std::vector<std::string>{"   ", "    ", "   ", "    ", "   ", "   "}));
}

// Sets this thread's view of the keyboard for one test and puts it back afterwards.
class KeyboardState {
public:
    KeyboardState() { GetKeyboardState(m_saved.data()); }
    ~KeyboardState() { SetKeyboardState(m_saved.data()); }
    void Set(const std::vector<std::pair<int, BYTE>>& keys) {
        std::array<BYTE, 256> state{};
        for (auto [key, value] : keys) state[key] = value;
        SetKeyboardState(state.data());
    }

private:
    std::array<BYTE, 256> m_saved{};
};

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

struct KeyCase {
    const char* name;
    UINT message;
    WPARAM key;
    std::vector<std::pair<int, BYTE>> held;
    unsigned modes;      // the bar's indicator mask
    unsigned toggled;    // indicators that changed
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyPreprocessing : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyPreprocessing, TogglesTheKeysIndicatorAndNeverTakesTheMessage) {
    const KeyCase& c = GetParam();
    KeyboardState keyboard;
    keyboard.Set(c.held);
    auto bar = MakeBar(c.modes);
    MSG msg{};
    msg.message = c.message;
    msg.wParam = c.key;
    EXPECT_FALSE(bar->PreProcessMsg(msg));
    unsigned on = 0;
    for (Mode mode : kAllModes)
        if (bar->GetModeIndicator(mode)) on |= mode;
    EXPECT_EQ(on, c.toggled);
}

INSTANTIATE_TEST_SUITE_P(
    StatusBar, KeyPreprocessing,
    ::testing::Values(
        KeyCase{"CapsLock", WM_KEYDOWN, VK_CAPITAL, {}, kProgramModes, TStatusBar::CapsLock},
        KeyCase{"NumLock", WM_KEYDOWN, VK_NUMLOCK, {}, kProgramModes, TStatusBar::NumLock},
        KeyCase{"ScrollLock", WM_KEYDOWN, VK_SCROLL, {}, kProgramModes, TStatusBar::ScrollLock},
        KeyCase{"Insert", WM_KEYDOWN, VK_INSERT, {}, kProgramModes, TStatusBar::Overtype},
        KeyCase{"CtrlInsert", WM_KEYDOWN, VK_INSERT, {{VK_CONTROL, kDown}}, kProgramModes, 0},
        KeyCase{"ShiftInsert", WM_KEYDOWN, VK_INSERT, {{VK_SHIFT, kDown}}, kProgramModes, 0},
        KeyCase{"KeyUp", WM_KEYUP, VK_CAPITAL, {}, kProgramModes, 0},
        KeyCase{"SystemKey", WM_SYSKEYDOWN, VK_CAPITAL, {}, kProgramModes, 0},
        KeyCase{"OtherKey", WM_KEYDOWN, 'A', {}, kProgramModes, 0},
        KeyCase{"NoNumPane", WM_KEYDOWN, VK_NUMLOCK, {}, TStatusBar::CapsLock, 0},
        KeyCase{"NoOvrPane", WM_KEYDOWN, VK_INSERT, {}, TStatusBar::CapsLock, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST(IdleCheck, BringsCapsNumAndScrollInLineOnTheFirstPassOnly) {
    KeyboardState keyboard;
    auto bar = MakeBar(kProgramModes);
    bar->SetModeIndicator(TStatusBar::NumLock, true);
    keyboard.Set({{VK_CAPITAL, kToggled}, {VK_SCROLL, kToggled}, {VK_INSERT, kToggled}});

    bar->IdleAction(1);   // not the first pass after messages: nothing is looked at
    EXPECT_EQ(PaneTexts(*bar), (std::vector<std::string>{"    ", "NUM", "    ", "   "}));

    bar->IdleAction(0);
    EXPECT_EQ(PaneTexts(*bar), (std::vector<std::string>{"CAPS", "   ", "SCRL", "   "}));

    keyboard.Set({});
    bar->SetModeIndicator(TStatusBar::Overtype, true);
    bar->IdleAction(0);
    // OVR has no key state to follow.
    EXPECT_EQ(PaneTexts(*bar), (std::vector<std::string>{"    ", "   ", "    ", "OVR"}));
}

}  // namespace
