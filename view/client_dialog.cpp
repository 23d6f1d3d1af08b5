// view/client_dialog.cpp: the dialog view: construction, field transfer, commands, the run, the choosers, help.
#include "view/client_dialog.h"

#include <cstring>
#include <string>

#include "framework/dc.h"
#include "framework/document.h"
#include "framework/file_dialog.h"
#include "settings/settings.h"
#include "text/utf16.h"

#ifndef FAVPAGE_VERSION
#define FAVPAGE_VERSION "1.0"
#endif

namespace {
// Four lines: empty, the program, its year and author, empty, empty.
constexpr wchar_t kVersionText[] = L"\nfavpage " FAVPAGE_VERSION " - (c) 2026 Vandrell\n\n";
constexpr wchar_t kHelpFile[] = L"favpage.hlp";

// The hourglass while a run blocks the window, whichever way the run ends.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

}  // namespace

favpage2TDLGClient::favpage2TDLGClient(TDocument& document, TWindow* parent)
    : TDialog(parent, kTemplate), TView(document) {
    // The window does not exist yet, so this is the screen's context, whose font is the system
    // font: the status line is placed in its units, not the dialog font's.
    TScreenDC screen;
    const TEXTMETRICW tm = screen.TextMetrics();
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
        Notify(WM_COMMAND, MAKEWPARAM(IDC_LOCATION, kEditPasteRefused),
               &favpage2TDLGClient::EvPathTooLong),
        Notify(WM_COMMAND, MAKEWPARAM(IDC_OUTPUT, kEditPasteRefused),
               &favpage2TDLGClient::EvPathTooLong),
    };
    return Respond(*this, kTable, ev) || TDialog::Dispatch(ev);
}

// The run reads the two fields as they are now, through the record; its outcome stays in the
// status line until the next run.
void favpage2TDLGClient::StartConversion() {
    // A field can hold more than the record keeps only when another program put the text there:
    // such a path is refused whole, as a chosen or pasted one is, never run cut.
    if (LocationEdit->IsOverfull() || OutputEdit->IsOverfull()) {
        ShowPathTooLong();
        return;
    }
    FieldsToRecord();
    // Working copies, in the engine's form of a path: UTF-8 of every UTF-16 unit, exactly, so the
    // run reads and writes the very folder and page the fields name. Nothing the run does can
    // reach back into the record.
    const favpage::SettingsText location = favpage::FieldText(favpage::SettingsRecord.location);
    const favpage::SettingsText page = favpage::FieldText(favpage::SettingsRecord.output);
    const std::string folder = favpage::Narrow(location.data(), location.size());
    const std::string output = favpage::Narrow(page.data(), page.size());
    WaitCursor wait;
    favpage::RunConversion(folder, output, *this, ShortcutCount);
}

// Said when a path does not fit a field, whether chosen, pasted or found at Start.
void favpage2TDLGClient::ShowPathTooLong() {
    ShowMessageBox(favpage::kChoiceTooLongText, L"favpage", MB_OK | MB_ICONEXCLAMATION);
}

LRESULT favpage2TDLGClient::EvPathTooLong(TEvent&) {
    ShowPathTooLong();
    return 0;
}

void favpage2TDLGClient::ShowStatus(const std::string& text) {
    // The last message is kept in the view's own buffer, cut only if it could not fit there (and
    // then never between the two halves of a character beyond U+FFFF).
    const std::wstring wide = favpage::Wide(text);
    size_t length = wide.size() < kStatusTextSize ? wide.size() : kStatusTextSize - 1;
    if (length < wide.size() && length > 0 && wide[length - 1] >= 0xD800 && wide[length - 1] < 0xDC00)
        --length;
    wide.copy(m_statusText, length);
    m_statusText[length] = 0;
    StatusLine->SetText(m_statusText);
    // The run does not pump messages: show each text as it is set.
    if (HWND line = StatusLine->GetHandle()) UpdateWindow(line);
}

bool favpage2TDLGClient::ConfirmOverwrite() {
    return ShowMessageBox(favpage::Wide(favpage::kOverwriteQuestion).c_str(),
                          favpage::Wide(favpage::kOverwriteCaption).c_str(),
                          MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

favpage::LocalTime favpage2TDLGClient::ReadClock() { return favpage::ReadLocalTime(); }

void favpage2TDLGClient::ShowHelp() {
    if (RequestHelp(kHelpFile, HELP_CONTENTS, 0) != 1)
        ShowMessageBox(L"The file favpage.hlp could not be found.", L"No Helpfile Found", 0);
}

// Both choosers change one field of the record and then show the record in both fields; Cancel
// changes nothing at all.
void favpage2TDLGClient::BrowseLocation() {
    Choose(favpage::FolderChooserRequest(), &favpage::StoreFolderChoice);
}

void favpage2TDLGClient::BrowseOutput() {
    Choose(favpage::OutputChooserRequest(favpage::SettingsRecord), &favpage::StoreOutputChoice);
}

void favpage2TDLGClient::Choose(const favpage::ChooserRequest& request, StoreChoice store) {
    TOpenSaveDialog::TData data(request.flags, request.filter, request.initialDir,
                                request.defaultExtension);
    data.SetFileName(request.fileName.c_str());
    TFileOpenDialog dialog(this, data, request.folderTemplate ? IDD_FOLDER_CHOOSER : 0,
                           request.title);
    if (dialog.Execute() != IDOK) return;
    if (store(data.FileName, favpage::SettingsRecord) != favpage::ChoiceResult::Stored) {
        ShowPathTooLong();
        return;
    }
    RecordToFields();
}
