// app/favpage_app.h: favpage2App, the application object: one document, shown by the dialog view
// as the main frame's client.
#pragma once
#include "framework/application.h"

class TView;

class favpage2App : public TApplication {
public:
    favpage2App(HINSTANCE instance, int cmdShow);
    bool Dispatch(TEvent& ev) override;

protected:
    void SetUpMainWindow() override;
    void InitInstance() override;

private:
    void OpenFirstDocument();
    LRESULT OnViewCreated(TEvent& ev);
    LRESULT OnViewClosed(TEvent& ev);
    void CmAbout();
};
