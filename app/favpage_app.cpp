// app/favpage_app.cpp: start-up of favpage2App and its view notifications.
#include "app/favpage_app.h"

#include "framework/decorated_frame.h"
#include "framework/doc_manager.h"
#include "framework/doc_template.h"
#include "framework/document.h"
#include "framework/view.h"
#include "view/client_dialog.h"

namespace {
constexpr char kAppName[] = "favpage";
constexpr UINT kAboutCommand = 2009;

// The one template, in the process-wide list before WinMain runs.
TDocTemplateT<TFileDocument, favpage2TDLGClient> gDialogTemplate(
    "All Files (*.*)", "*.*", nullptr, "TXT", kTemplateAutoDelete | kTemplateUpdateDir);
}  // namespace

favpage2App::favpage2App(HINSTANCE instance, int cmdShow)
    : TApplication(kAppName, instance, cmdShow) {
    SetDocManager(new TDocManager(TDocManager::kSingleDocument, *this, TDocTemplate::StaticList()));
}

void favpage2App::SetUpMainWindow() { SetMainWindow(new TDecoratedFrame(nullptr, kAppName)); }

void favpage2App::InitInstance() {
    TApplication::InitInstance();
    OpenFirstDocument();
}

void favpage2App::OpenFirstDocument() { GetDocManager()->CreateAnyDoc(nullptr, kNewDocument); }

bool favpage2App::Dispatch(TEvent& ev) {
    static constexpr TResponse<favpage2App> kTable[] = {
        Notify(WM_OWLVIEW, kViewCreated, &favpage2App::OnViewCreated),
        Notify(WM_OWLVIEW, kViewClosed, &favpage2App::OnViewClosed),
        Command(kAboutCommand, &favpage2App::CmAbout),
    };
    return Respond(*this, kTable, ev) || TApplication::Dispatch(ev);
}

LRESULT favpage2App::OnViewCreated(TEvent& ev) {
    auto* view = reinterpret_cast<TView*>(ev.lp);
    GetMainWindow()->SetClientWindow(view->GetWindow());
    if (!view->IsOK()) GetMainWindow()->SetClientWindow(nullptr);
    return 0;
}

LRESULT favpage2App::OnViewClosed(TEvent&) {
    GetMainWindow()->SetClientWindow(nullptr);
    GetMainWindow()->SetCaption(kAppName);
    return 0;
}

// There is no About box and no menu that could ask for one.
void favpage2App::CmAbout() {}
