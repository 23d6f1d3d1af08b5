// view/client_dialog.h: favpage2TDLGClient, the dialog view in which the user does everything.
#pragma once
#include <cstdint>

#include "engine/conversion_run.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/view.h"
#include "settings/choosers.h"
#include "view/resource_ids.h"

// The frame's client: the two fields (folder to search, page to write), their choosers, the
// buttons and the status line. Its transfer buffer is SettingsRecord, loaded when the view is
// constructed and saved when it is deleted (once, at shutdown). EXIT and Escape take the dialog's
// cancel path: the window goes, the object stays, typed text is not copied.
// It is also the conversion run's host: the run's texts go to the status line and its question
// to a message box owned by the view.
class favpage2TDLGClient : public TDialog, public TView, private favpage::ConversionHost {
public:
    static constexpr int kTemplate = IDD_CLIENT;
    static constexpr unsigned kFieldLength = 255;   // characters of each field, its zero included
    static constexpr int kStatusTextSize = 1000;

    explicit favpage2TDLGClient(TDocument& document, TWindow* parent = nullptr);
    ~favpage2TDLGClient() override;

    const wchar_t* GetViewName() const override { return L"Dialog View"; }
    TWindow* GetWindow() override { return this; }
    // Every control, then the document, must agree.
    bool CanClose() override;

    // Both fields into SettingsRecord (location, then output); the status line takes no part.
    void FieldsToRecord();
    // SettingsRecord into both fields.
    void RecordToFields();

    // The view's parts, in this order; the controls belong to the view's child list.
    TStatic* StatusLine = nullptr;          // version text, then the outcome of the last run
    wchar_t m_statusText[kStatusTextSize] = {};  // the last "Done." message while it is shown
    int32_t ShortcutCount = 0;              // shortcut files found by the current or last run
    TEdit* LocationEdit = nullptr;          // control 102
    TEdit* OutputEdit = nullptr;            // control 103

protected:
    bool Dispatch(TEvent& ev) override;

private:
    // ConversionHost
    void ShowStatus(const std::string& text) override;
    bool ConfirmOverwrite() override;
    favpage::LocalTime ReadClock() override;

    void StartConversion();
    void ShowPathTooLong();
    LRESULT EvPathTooLong(TEvent& ev);
    void ShowHelp();
    void BrowseLocation();
    void BrowseOutput();
    using StoreChoice = favpage::ChoiceResult (*)(const favpage::SettingsText&, favpage::Settings&);
    void Choose(const favpage::ChooserRequest& request, StoreChoice store);
};
