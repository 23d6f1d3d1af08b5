// framework/file_dialog.cpp: the file-open dialog over GetOpenFileNameA.
#include "framework/file_dialog.h"

#include <commdlg.h>

#include <cstring>

#include "framework/window.h"

TOpenSaveDialog::TData::TData(DWORD flags, const char* filter, const char* initialDir,
                              const char* defExt)
    : Flags(flags), Filter(filter ? filter : ""), InitialDir(initialDir ? initialDir : ""),
      DefExt(defExt ? defExt : "") {}

void TOpenSaveDialog::TData::SetFileName(const char* name) {
    // Cut, never overrun: the buffer is the dialog's own limit.
    std::strncpy(FileName, name ? name : "", sizeof FileName - 1);
    FileName[sizeof FileName - 1] = 0;
}

TFileOpenDialog::TFileOpenDialog(TWindow* parent, TOpenSaveDialog::TData& data, int templateId,
                                 const char* title)
    : m_parent(parent), m_data(data), m_templateId(templateId), m_title(title ? title : "") {}

// The dialog does its own work; the hook is there because hooking is what selects the classic
// dialog, whose controls the program's templates and its users know.
UINT_PTR CALLBACK TFileOpenDialog::Hook(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

int TFileOpenDialog::Execute() {
    // "a|b|" becomes "a\0b\0\0", the form the dialog reads.
    std::string filter = m_data.Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_parent ? m_parent->GetHandle() : nullptr;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = m_data.FileName;
    ofn.nMaxFile = sizeof m_data.FileName;
    ofn.lpstrInitialDir = m_data.InitialDir.empty() ? nullptr : m_data.InitialDir.c_str();
    ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
    ofn.lpstrDefExt = m_data.DefExt.empty() ? nullptr : m_data.DefExt.c_str();
    ofn.Flags = m_data.Flags | OFN_ENABLEHOOK;
    ofn.lpfnHook = &TFileOpenDialog::Hook;
    if (m_templateId) {
        ofn.Flags |= OFN_ENABLETEMPLATE;
        ofn.lpTemplateName = MAKEINTRESOURCEA(m_templateId);
    }
    if (GetOpenFileNameA(&ofn) <= 0) return IDCANCEL;
    AddDefaultExtension();
    return IDOK;
}

// The classic dialog of some systems (Wine's among them) returns a typed name as it is; the
// default extension is promised either way, so a name without one gets it here.
void TFileOpenDialog::AddDefaultExtension() {
    if (m_data.DefExt.empty()) return;
    const char* name = std::strrchr(m_data.FileName, '\\');
    name = name ? name + 1 : m_data.FileName;
    if (!*name || std::strchr(name, '.')) return;
    const size_t length = std::strlen(m_data.FileName);
    if (length + 1 + m_data.DefExt.size() >= sizeof m_data.FileName) return;
    m_data.FileName[length] = '.';
    std::strcpy(m_data.FileName + length + 1, m_data.DefExt.c_str());
}
