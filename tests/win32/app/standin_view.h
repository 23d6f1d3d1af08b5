// tests/win32/app/standin_view.h: a small dialog view that stands in for the program's own, and
// keeps a journal of what happened to it in the registry, where a test in another process can
// read it.
#pragma once
#include <string>

#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/view.h"

// Where the journal is kept, below HKEY_CURRENT_USER.
constexpr const char* kJournalKey = "software\\vandrell\\favpage-standin";

// What the stand-in view saw: how often it was deleted (where the real view saves the
// settings), whether the frame's window was gone by then, and the frame's caption when the view
// was constructed.
struct StandinJournal {
    unsigned saves = 0;
    bool frameGoneAtSave = false;
    std::string captionAtConstruction;

    static void Clear();
    static StandinJournal Read();
};

class StandinView : public TDialog, public TView {
public:
    explicit StandinView(TDocument& document, TWindow* parent = nullptr);
    ~StandinView() override;

    const wchar_t* GetViewName() const override { return L"Dialog View"; }
    TWindow* GetWindow() override { return this; }
    bool IsOK() const override { return sUsable; }
    bool CanClose() override;
    void SetupWindow() override;

    TEdit* Field() const { return m_field; }

    // Test switches for this process.
    static bool sUsable;           // what IsOK answers
    static bool sThrowOnCreate;    // the constructor throws an xmsg

protected:
    bool Dispatch(TEvent& ev) override;

private:
    void ThrowMessage();
    void ThrowFramework();

    TEdit* m_field;
    HWND m_frame = nullptr;
};
