// app/favpage_app.h: favpage2App, the application object of the program.
#pragma once
#include "framework/application.h"

class SDIDecFrame;
class TStatusBar;

// Named "favpage", with a single-document manager over the static template list. It builds the
// main frame with its icon and status bar, opens the one document whose dialog view becomes the
// frame's client, and runs until the frame closes.
class favpage2App : public TApplication {
public:
    favpage2App(HINSTANCE instance, int cmdShow);

    SDIDecFrame* GetFrame() const;
    TStatusBar* GetStatusBar() const { return m_statusBar; }

    // What the launcher asked for, as the frame is shown: hidden (SW_HIDE) and minimised without
    // activation (SW_SHOWMINNOACTIVE) stay; everything else, maximised and minimised included,
    // becomes SW_SHOWNORMAL.
    static int NormalisedShowCommand(int cmdShow);

    bool Dispatch(TEvent& ev) override;

protected:
    void SetUpMainWindow() override;
    void InitInstance() override;

private:
    // The base's set-up (main window built, created and shown), then a new untitled document.
    void OpenFirstDocument();
    LRESULT OnViewCreated(TEvent& ev);
    LRESULT OnViewClosed(TEvent& ev);
    void CmHelpAbout();

    TStatusBar* m_statusBar = nullptr;   // owned by the frame
};
