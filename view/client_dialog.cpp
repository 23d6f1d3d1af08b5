// view/client_dialog.cpp: construction, field transfer, command table and help of the view.
#include "view/client_dialog.h"

#include "framework/dc.h"
#include "framework/document.h"
#include "settings/settings.h"

#ifndef FAVPAGE_VERSION
#define FAVPAGE_VERSION "1.0"
#endif

namespace {
// Four lines: empty, the program, its year and author, empty, empty.
constexpr char kVersionText[] = "\nfavpage " FAVPAGE_VERSION " - (c) 2026 Vandrell\n\n";
constexpr char kHelpFile[] = "favpage.hlp";
}  // namespace

favpage2TDLGClient::favpage2TDLGClient(TDocument& document, TWindow* parent)
    : TDialog(parent, kTemplate), TView(document) {
    // The window does not exist yet, so this is the screen's context, whose font is the system
    // font: the status line is placed in its units, not the dialog font's.
    TScreenDC screen;
    const TEXTMETRICA tm = screen.TextMetrics();
    const int avgCharWidth = tm.tmAveCharWidth;
    const int charHeight = tm.tmHeight;
    StatusLine = new TStatic(this, -1, kVersionText, avgCharWidth * 10 / 4, charHeight * 106 / 8,
                             avgCharWidth * 190 / 4, charHeight * 60 / 8);
    LocationEdit = new TEdit(this, IDC_LOCATION, kFieldLength);
    OutputEdit = new TEdit(this, IDC_OUTPUT, kFieldLength);
    favpage::LoadSettings();
    SetTransferBuffer(&favpage::SettingsRecord);
}

favpage2TDLGClient::~favpage2TDLGClient() { favpage::SaveSettings(); }

bool favpage2TDLGClient::CanClose() { return TDialog::CanClose() && GetDocument().CanClose(); }

void favpage2TDLGClient::FieldsToRecord() { TransferData(TTransfer::GetData); }

void favpage2TDLGClient::RecordToFields() { TransferData(TTransfer::SetData); }

bool favpage2TDLGClient::Dispatch(TEvent& ev) {
    // Searched before the dialog's own table, so id 1 never reaches the dialog's OK handling;
    // EXIT (id 2) has no entry here and takes the dialog's cancel path.
    static constexpr TResponse<favpage2TDLGClient> kTable[] = {
        Command(IDC_START_CONVERSION, &favpage2TDLGClient::StartConversion),
        Command(IDC_SHOW_HELP, &favpage2TDLGClient::ShowHelp),
        Command(IDC_BROWSE_LOCATION, &favpage2TDLGClient::BrowseLocation),
        Command(IDC_BROWSE_OUTPUT, &favpage2TDLGClient::BrowseOutput),
    };
    return Respond(*this, kTable, ev) || TDialog::Dispatch(ev);
}

// A run starts by taking both fields into the record; the run itself comes with the engine.
void favpage2TDLGClient::StartConversion() { FieldsToRecord(); }

void favpage2TDLGClient::ShowHelp() {
    if (RequestHelp(kHelpFile, HELP_CONTENTS, 0) != 1)
        ShowMessageBox("The file favpage.hlp could not be found.", "No Helpfile Found", 0);
}

// The two choosers come with the file dialogs; until then their buttons change nothing.
void favpage2TDLGClient::BrowseLocation() {}

void favpage2TDLGClient::BrowseOutput() {}
