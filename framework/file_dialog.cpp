// framework/file_dialog.cpp: the file-open dialog over GetOpenFileNameW.
#include "framework/file_dialog.h"

#include <commdlg.h>

#include <cstring>

#include "framework/window.h"

TOpenSaveDialog::TData::TData(DWORD flags, const wchar_t* filter, const wchar_t* initialDir,
                              const wchar_t* defExt)
    : Flags(flags), Filter(filter ? filter : L""), InitialDir(initialDir ? initialDir : L""),
      DefExt(defExt ? defExt : L"") {}

void TOpenSaveDialog::TData::SetFileName(const wchar_t* name) {
    // Cut, never overrun: the buffer is the dialog's own limit.
    wcsncpy(FileName, name ? name : L"", MAX_PATH - 1);
    FileName[MAX_PATH - 1] = 0;
}

TFileOpenDialog::TFileOpenDialog(TWindow* parent, TOpenSaveDialog::TData& data, int templateId,
                                 const wchar_t* title)
    : m_parent(parent), m_data(data), m_templateId(templateId), m_title(title ? title : L"") {}

// The dialog does its own work; the hook is there because hooking is what selects the classic
// dialog, whose controls the program's templates and its users know.
UINT_PTR CALLBACK TFileOpenDialog::Hook(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

int TFileOpenDialog::Execute() {
    // "a|b|" becomes "a\0b\0\0", the form the dialog reads.
    std::wstring filter = m_data.Filter;
    for (wchar_t& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_parent ? m_parent->GetHandle() : nullptr;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = m_data.FileName;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = m_data.InitialDir.empty() ? nullptr : m_data.InitialDir.c_str();
    ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
    ofn.lpstrDefExt = m_data.DefExt.empty() ? nullptr : m_data.DefExt.c_str();
    ofn.Flags = m_data.Flags | OFN_ENABLEHOOK;
    ofn.lpfnHook = &TFileOpenDialog::Hook;
    if (m_templateId) {
        ofn.Flags |= OFN_ENABLETEMPLATE;
        ofn.lpTemplateName = MAKEINTRESOURCEW(m_templateId);
    }
    if (GetOpenFileNameW(&ofn) <= 0) return IDCANCEL;
    AddDefaultExtension();
    return IDOK;
}

// The classic dialog of some systems (Wine's among them) returns a typed name as it is; the
// default extension is promised either way, so a name without one gets it here.
void TFileOpenDialog::AddDefaultExtension() {
    if (m_data.DefExt.empty()) return;
    const wchar_t* name = wcsrchr(m_data.FileName, L'\\');
    name = name ? name + 1 : m_data.FileName;
    if (!*name || wcschr(name, L'.')) return;
    const size_t length = wcslen(m_data.FileName);
    if (length + 1 + m_data.DefExt.size() >= MAX_PATH) return;
    m_data.FileName[length] = L'.';
    wcscpy(m_data.FileName + length + 1, m_data.DefExt.c_str());
}
