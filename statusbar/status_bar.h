// statusbar/status_bar.h: TStatusBar, the message bar with lock-key indicators at its right end.
#pragma once
#include <string>
#include <vector>

#include "statusbar/message_bar.h"

// One indicator pane per bit of the mode mask, in bit order, right of the message pane. Each
// shows its word (CAPS, NUM, ...) while on and blanks of the same width while off. The panes
// follow the keyboard: keys that reach the bar's pre-processing toggle them, and the first idle
// pass after messages brings CAPS, NUM and SCRL in line with the keys' toggle states.
class TStatusBar : public TMessageBar {
public:
    enum TModeIndicator {
        ExtendSelection = 1,
        CapsLock = 2,
        NumLock = 4,
        ScrollLock = 8,
        Overtype = 16,
        RecordingMacro = 32,
    };
    static constexpr int kModeCount = 6;

    // Takes ownership of `font`.
    TStatusBar(TWindow* parent, TBorderStyle borderStyle, unsigned modeIndicators,
               TGadgetWindowFont* font);

    TBorderStyle GetBorderStyle() const { return m_borderStyle; }
    unsigned ModeIndicators() const { return m_modeIndicators; }
    int IndicatorCount() const { return m_indicatorCount; }

    // Shows the indicator's word or blanks, if it has a pane, and records the state.
    void SetModeIndicator(TModeIndicator indicator, bool on);
    void ToggleModeIndicator(TModeIndicator indicator);
    bool GetModeIndicator(TModeIndicator indicator) const { return (m_modesOn & indicator) != 0; }
    // The indicator's pane, or nullptr when the mask created none.
    TTextGadget* IndicatorPane(TModeIndicator indicator) const;

    // Never takes the message: it only watches key-down messages.
    bool PreProcessMsg(MSG& msg) override;
    bool IdleAction(long idleCount) override;

private:
    void SyncWithKey(TModeIndicator indicator, int virtualKey);

    TBorderStyle m_borderStyle;
    unsigned m_modeIndicators;
    int m_indicatorCount = 0;
    unsigned m_modesOn = 0;
};

// String resource `id` split at '|' into TStatusBar::kModeCount words; a word the string lacks
// (or the whole string, when the resource is missing) comes from `builtin`.
std::vector<std::wstring> LoadIndicatorWords(unsigned id, const wchar_t* builtin);
