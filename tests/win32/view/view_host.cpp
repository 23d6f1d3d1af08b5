// tests/win32/view/view_host.cpp: the test host of the dialog view.
#include "tests/win32/view/view_host.h"

#include <vector>

#include "framework/doc_manager.h"
#include "framework/doc_template.h"
#include "framework/document.h"
#include "tests/win32/framework/box_watcher.h"

namespace {
TDocTemplateT<TFileDocument, favpage2TDLGClient> gTemplate(L"All Files (*.*)", L"*.*", nullptr,
                                                           L"TXT", kTemplateAutoDelete);
}  // namespace

ViewHost::ViewHost() : TApplication(L"favpage", nullptr, SW_SHOWNORMAL) {
    SetDocManager(new TDocManager(TDocManager::kSingleDocument, *this, TDocTemplate::StaticList()));
}

void ViewHost::SetUpMainWindow() {
    frame = new TDecoratedFrame(nullptr, L"favpage");
    frame->Attr().w = 420;
    frame->Attr().h = 480;
    SetMainWindow(frame);
}

void ViewHost::InitInstance() {
    TApplication::InitInstance();
    GetDocManager()->CreateAnyDoc(nullptr, kNewDocument);
    if (m_script) m_script(*this);
}

bool ViewHost::Dispatch(TEvent& ev) {
    static constexpr TResponse<ViewHost> kTable[] = {
        Notify(WM_OWLVIEW, kViewCreated, &ViewHost::OnViewCreated),
    };
    return Respond(*this, kTable, ev) || TApplication::Dispatch(ev);
}

LRESULT ViewHost::OnViewCreated(TEvent& ev) {
    view = dynamic_cast<favpage2TDLGClient*>(reinterpret_cast<TView*>(ev.lp));
    frame->SetClientWindow(view);
    return 0;
}

int ViewHost::RunWith(std::function<void(ViewHost&)> script) {
    m_script = std::move(script);
    UINT_PTR deadline = StartLoopDeadline(15000, 99);
    const int status = Run();
    StopLoopDeadline(deadline);
    return status;
}

void Type(HWND field, const std::string& text) {
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string TextOf(HWND window) {
    std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::wstring WideTextOf(HWND window) {
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string EnterEmptyFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "." + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());
    return folder;
}
