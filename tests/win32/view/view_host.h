// tests/win32/view/view_host.h: the real dialog view in this process, hosted the way the program
// hosts it: a frame, a single-document manager and the dialog view's template.
#pragma once
#include <functional>
#include <string>

#include "framework/application.h"
#include "framework/decorated_frame.h"
#include "view/client_dialog.h"

class ViewHost : public TApplication {
public:
    ViewHost();
    bool Dispatch(TEvent& ev) override;

    // Runs set-up, then `script` (with the view shown), then the message loop until the frame
    // closes or 15 seconds pass (status 99).
    int RunWith(std::function<void(ViewHost&)> script);

    TDecoratedFrame* frame = nullptr;
    favpage2TDLGClient* view = nullptr;
    HWND Field(int id) const { return GetDlgItem(view->GetHandle(), id); }

protected:
    void SetUpMainWindow() override;
    void InitInstance() override;

private:
    LRESULT OnViewCreated(TEvent& ev);
    std::function<void(ViewHost&)> m_script;
};

// Types `text` into a control as the keyboard would, one WM_CHAR per character.
void Type(HWND field, const std::string& text);
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
// A fresh empty folder under the temporary folder, made the current folder.
std::string EnterEmptyFolder(const char* name);
