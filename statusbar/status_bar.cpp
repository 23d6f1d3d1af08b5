// statusbar/status_bar.cpp: the indicator panes and how they follow the keyboard.
#include "statusbar/status_bar.h"

#include <algorithm>

#include "statusbar/statusbar_strings.h"

namespace {

constexpr int kStringBufferSize = 128;

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> words(1);
    for (wchar_t c : text) {
        if (c == '|')
            words.emplace_back();
        else
            words.back() += c;
    }
    return words;
}

// The indicators' words, loaded once for the process and shared by every status bar.
struct IndicatorWords {
    std::vector<std::wstring> on = LoadIndicatorWords(IDS_MODES, L"" STATUSBAR_MODES_TEXT);
    std::vector<std::wstring> off = LoadIndicatorWords(IDS_MODESOFF, L"" STATUSBAR_MODESOFF_TEXT);
};

const IndicatorWords& Words() {
    static const IndicatorWords words;
    return words;
}

}  // namespace

std::vector<std::wstring> LoadIndicatorWords(unsigned id, const wchar_t* builtin) {
    std::vector<std::wstring> words = Split(builtin);
    words.resize(TStatusBar::kModeCount);
    wchar_t text[kStringBufferSize];
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, text, kStringBufferSize);
    if (length > 0) {
        const std::vector<std::wstring> loaded = Split(std::wstring(text, length));
        std::copy_n(loaded.begin(), std::min(loaded.size(), words.size()), words.begin());
    }
    return words;
}

TStatusBar::TStatusBar(TWindow* parent, TBorderStyle borderStyle, unsigned modeIndicators,
                       TGadgetWindowFont* font)
    : TMessageBar(parent, font), m_borderStyle(borderStyle), m_modeIndicators(modeIndicators) {
    const IndicatorWords& words = Words();

    if (borderStyle == TBorderStyle::Plain || borderStyle == TBorderStyle::Embossed) {
        SetHighlightLine(false);
    } else {
        SetSpacing(LayoutUnitsToPixels(2));
    }
    if (borderStyle == TBorderStyle::Raised || borderStyle == TBorderStyle::Recessed) {
        const int side = LayoutUnitsToPixels(4);
        const int edge = GetSystemMetrics(SM_CYBORDER);
        SetMargins(RECT{side, edge, side, edge});
    }
    MessagePane().SetBorderStyle(borderStyle);

    for (int bit = 0; bit < kModeCount; ++bit) {
        if (!(modeIndicators & (1u << bit))) continue;
        const std::wstring& on = words.on[bit];
        const std::wstring& off = words.off[bit];
        auto* pane = new TTextGadget(0, borderStyle, TTextGadget::Align::Left,
                                     static_cast<unsigned>(std::max(on.size(), off.size())),
                                     off.c_str());
        pane->SetMargins(1, 1);
        pane->SetFixedWidth(std::max(TextWidth(on), TextWidth(off)) + 2 * pane->BorderWidth() +
                            LayoutUnitsToPixels(1) + LayoutUnitsToPixels(1));
        Insert(pane);
        ++m_indicatorCount;
    }
}

namespace {
// The bit number of a single indicator, or -1 for anything else.
int BitOf(TStatusBar::TModeIndicator indicator) {
    for (int bit = 0; bit < TStatusBar::kModeCount; ++bit)
        if (static_cast<unsigned>(indicator) == (1u << bit)) return bit;
    return -1;
}
}  // namespace

TTextGadget* TStatusBar::IndicatorPane(TModeIndicator indicator) const {
    const int bit = BitOf(indicator);
    if (bit < 0 || !(m_modeIndicators & indicator)) return nullptr;
    // Panes follow the message pane in bit order, one per bit of the mask.
    std::size_t index = 1;
    for (int lower = 0; lower < bit; ++lower)
        if (m_modeIndicators & (1u << lower)) ++index;
    return &Gadget(index);
}

void TStatusBar::SetModeIndicator(TModeIndicator indicator, bool on) {
    if (TTextGadget* pane = IndicatorPane(indicator))
        pane->SetText((on ? Words().on : Words().off)[BitOf(indicator)].c_str());
    m_modesOn = on ? (m_modesOn | indicator) : (m_modesOn & ~static_cast<unsigned>(indicator));
}

void TStatusBar::ToggleModeIndicator(TModeIndicator indicator) {
    SetModeIndicator(indicator, !GetModeIndicator(indicator));
}

bool TStatusBar::PreProcessMsg(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const auto toggleIfShown = [this](TModeIndicator indicator) {
        if (m_modeIndicators & indicator) ToggleModeIndicator(indicator);
    };
    switch (msg.wParam) {
    case VK_CAPITAL: toggleIfShown(CapsLock); break;
    case VK_NUMLOCK: toggleIfShown(NumLock); break;
    case VK_SCROLL: toggleIfShown(ScrollLock); break;
    case VK_INSERT:
        // Ctrl+Insert copies and Shift+Insert pastes: neither switches overtype.
        if (!(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000))
            toggleIfShown(Overtype);
        break;
    default: break;
    }
    return false;
}

void TStatusBar::SyncWithKey(TModeIndicator indicator, int virtualKey) {
    const bool toggled = (GetKeyState(virtualKey) & 1) != 0;
    if (toggled != GetModeIndicator(indicator)) ToggleModeIndicator(indicator);
}

bool TStatusBar::IdleAction(long idleCount) {
    if (idleCount == 0) {
        SyncWithKey(ScrollLock, VK_SCROLL);
        SyncWithKey(CapsLock, VK_CAPITAL);
        SyncWithKey(NumLock, VK_NUMLOCK);
    }
    return TMessageBar::IdleAction(idleCount);
}
