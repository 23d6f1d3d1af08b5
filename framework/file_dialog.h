// framework/file_dialog.h: TOpenSaveDialog::TData and TFileOpenDialog, the system's file-open dialog.
#pragma once
#include <windows.h>

#include <string>

class TWindow;

class TOpenSaveDialog {
public:
    // What a file dialog is given and what it hands back.
    struct TData {
        DWORD Flags = 0;
        // In: the name the dialog starts with; out: the chosen full path.
        wchar_t FileName[MAX_PATH] = {};
        // Pairs of description and pattern, each ended by '|' ("Text (*.txt)|*.txt|").
        std::wstring Filter;
        std::wstring InitialDir;
        std::wstring DefExt;        // added to a typed name without one; empty for none

        TData(DWORD flags, const wchar_t* filter, const wchar_t* initialDir = nullptr,
              const wchar_t* defExt = nullptr);
        void SetFileName(const wchar_t* name);
    };
};

// A modal file-open dialog owned by `parent`'s window. The framework hooks every such dialog
// (OFN_ENABLEHOOK) and, when a template of the program's own is given, selects it
// (OFN_ENABLETEMPLATE): either one gives the classic dialog rather than the Explorer one.
class TFileOpenDialog {
public:
    TFileOpenDialog(TWindow* parent, TOpenSaveDialog::TData& data, int templateId = 0,
                    const wchar_t* title = nullptr);
    // IDOK with the chosen path in the data's FileName, or IDCANCEL for Cancel and for any
    // failure of the dialog itself.
    int Execute();

private:
    void AddDefaultExtension();
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

    TWindow* m_parent;
    TOpenSaveDialog::TData& m_data;
    int m_templateId;
    std::wstring m_title;
};
