// app/favpage_app.cpp: the main frame's construction, the first document, and the views
// arriving in and leaving the frame.
#include "app/favpage_app.h"

#include "app/resource_ids.h"
#include "app/sdi_dec_frame.h"
#include "framework/doc_manager.h"
#include "framework/doc_template.h"
#include "framework/view.h"
#include "statusbar/status_bar.h"

favpage2App::favpage2App(HINSTANCE instance, int cmdShow)
    : TApplication(L"favpage", instance, cmdShow) {
    SetDocManager(new TDocManager(TDocManager::kSingleDocument, *this, TDocTemplate::StaticList()));
}

SDIDecFrame* favpage2App::GetFrame() const { return static_cast<SDIDecFrame*>(GetMainWindow()); }

int favpage2App::NormalisedShowCommand(int cmdShow) {
    return cmdShow == SW_HIDE || cmdShow == SW_SHOWMINNOACTIVE ? cmdShow : SW_SHOWNORMAL;
}

void favpage2App::SetUpMainWindow() {
    SetCmdShow(NormalisedShowCommand(GetCmdShow()));
    auto* frame = new SDIDecFrame(nullptr, GetName().c_str(), nullptr, true);
    frame->SetIcon(IDI_FAVPAGE);
    m_statusBar = new TStatusBar(frame, TBorderStyle::Recessed,
                                 TStatusBar::CapsLock | TStatusBar::NumLock |
                                     TStatusBar::ScrollLock | TStatusBar::Overtype,
                                 new TGadgetWindowFont(10));
    frame->Insert(*m_statusBar, TDecoratedFrame::Location::Bottom);
    SetMainWindow(frame);
}

void favpage2App::InitInstance() { OpenFirstDocument(); }

void favpage2App::OpenFirstDocument() {
    TApplication::InitInstance();
    GetDocManager()->CreateAnyDoc(nullptr, kNewDocument);
}

bool favpage2App::Dispatch(TEvent& ev) {
    static constexpr TResponse<favpage2App> kTable[] = {
        Notify(WM_OWLVIEW, kViewCreated, &favpage2App::OnViewCreated),
        Notify(WM_OWLVIEW, kViewClosed, &favpage2App::OnViewClosed),
        Command(CM_HELPABOUT, &favpage2App::CmHelpAbout),
    };
    return Respond(*this, kTable, ev) || TApplication::Dispatch(ev);
}

LRESULT favpage2App::OnViewCreated(TEvent& ev) {
    TView& view = *reinterpret_cast<TView*>(ev.lp);
    SDIDecFrame* frame = GetFrame();
    frame->SetClientWindow(view.GetWindow());
    // A view that could not be made usable leaves the frame empty. The dialog view brings no
    // menu of its own, so there is nothing to merge into the frame's.
    if (!view.IsOK()) frame->SetClientWindow(nullptr);
    return 0;
}

LRESULT favpage2App::OnViewClosed(TEvent&) {
    SDIDecFrame* frame = GetFrame();
    frame->SetClientWindow(nullptr);
    frame->SetCaption(GetName().c_str());
    return 0;
}

// There is no About box: the command is taken so that it goes nowhere else.
void favpage2App::CmHelpAbout() {}
