// tests/win32/app/standin_view.cpp: the stand-in view and its journal.
#include "tests/win32/app/standin_view.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/exceptions.h"
#include "framework/frame_window.h"
#include "tests/win32/app/standin_resources.h"

bool StandinView::sUsable = true;
bool StandinView::sThrowOnCreate = false;

namespace {

DWORD ReadDword(HKEY key, const char* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}

void WriteDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

HKEY OpenJournal() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kJournalKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}

}  // namespace

void StandinJournal::Clear() { RegDeleteKeyA(HKEY_CURRENT_USER, kJournalKey); }

StandinJournal StandinJournal::Read() {
    StandinJournal journal;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kJournalKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return journal;
    journal.saves = ReadDword(key, "saves");
    journal.frameGoneAtSave = ReadDword(key, "frameGoneAtSave") != 0;
    char caption[256] = "";
    DWORD size = sizeof caption - 1;
    if (RegQueryValueExA(key, "captionAtConstruction", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(caption), &size) == ERROR_SUCCESS)
        journal.captionAtConstruction = caption;
    RegCloseKey(key);
    return journal;
}

StandinView::StandinView(TDocument& document, TWindow* parent)
    : TDialog(parent, IDD_STANDIN), TView(document) {
    if (sThrowOnCreate) throw xmsg(L"The stand-in view cannot be made");
    m_field = new TEdit(this, IDC_STANDIN_FIELD, 64);
    char caption[256] = "";
    if (TApplication* app = TApplication::Current())
        if (app->GetMainWindow() && app->GetMainWindow()->GetHandle())
            GetWindowTextA(app->GetMainWindow()->GetHandle(), caption, sizeof caption);
    if (HKEY key = OpenJournal()) {
        RegSetValueExA(key, "captionAtConstruction", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(caption), lstrlenA(caption) + 1);
        RegCloseKey(key);
    }
}

StandinView::~StandinView() {
    // Where the program's view saves the settings.
    if (HKEY key = OpenJournal()) {
        WriteDword(key, "saves", ReadDword(key, "saves") + 1);
        WriteDword(key, "frameGoneAtSave", m_frame && !IsWindow(m_frame));
        RegCloseKey(key);
    }
}

bool StandinView::CanClose() { return TDialog::CanClose() && GetDocument().CanClose(); }

void StandinView::SetupWindow() {
    TDialog::SetupWindow();
    if (Parent()) m_frame = Parent()->GetHandle();
}

bool StandinView::Dispatch(TEvent& ev) {
    static constexpr TResponse<StandinView> kTable[] = {
        Command(IDC_THROW_XMSG, &StandinView::ThrowMessage),
        Command(IDC_THROW_OWL, &StandinView::ThrowFramework),
    };
    return Respond(*this, kTable, ev) || TDialog::Dispatch(ev);
}

void StandinView::ThrowMessage() { throw xmsg(L"Stand-in failure"); }

void StandinView::ThrowFramework() { throw TXOwl(L"Stand-in framework failure"); }
