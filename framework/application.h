// framework/application.h: TApplication, the one application object: set-up, message loop with
// idle processing, and the boxes that report exceptions.
#pragma once
#include <exception>
#include <string>

#include "framework/response_table.h"

class TDocManager;
class TFrameWindow;

// Owns the main window and the document manager. Its response table takes what the main window
// leaves and passes what it does not take on to the document manager's.
class TApplication : public TEventHandler {
public:
    TApplication(const wchar_t* name, HINSTANCE instance, int cmdShow);
    // Deletes the main window object (and with it every window object), then the document manager.
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The one application object of the process, or nullptr.
    static TApplication* Current();

    const std::wstring& GetName() const { return m_name; }
    HINSTANCE GetInstance() const { return m_instance; }
    int GetCmdShow() const { return m_cmdShow; }
    void SetCmdShow(int cmdShow) { m_cmdShow = cmdShow; }

    TFrameWindow* GetMainWindow() const { return m_mainWindow; }
    // Takes ownership of `window`; returns the previous main window, which the caller now owns.
    TFrameWindow* SetMainWindow(TFrameWindow* window);
    TDocManager* GetDocManager() const { return m_docManager; }
    // Takes ownership of `manager` (deleting any previous one).
    void SetDocManager(TDocManager* manager);

    // Instance set-up, then the message loop. Returns the loop's status: 0 after the main window
    // closed, -1 after an exception the user chose not to resume from (or one during set-up).
    int Run();
    // The main window, then the document manager, must agree.
    virtual bool CanClose();
    // Offers `msg` to the bound windows from its target outwards; true when one took it.
    bool ProcessMessage(MSG& msg);
    bool Dispatch(TEvent& ev) override;

protected:
    // Builds the main window object; runs before any window exists. The default is a plain frame
    // titled with the application's name.
    virtual void SetUpMainWindow();
    // Calls SetUpMainWindow, creates the main window and shows it with the show command.
    virtual void InitInstance();
    // Offered to the main window (and so to its children) while the queue is empty.
    virtual bool IdleAction(long idleCount);
    virtual int MessageLoop();

private:
    // Shows the box for `e`; with `ask` it asks "OK to resume?" and returns true for Yes.
    bool ReportException(std::exception_ptr e, bool ask);

    std::wstring m_name;
    HINSTANCE m_instance;
    int m_cmdShow;
    TFrameWindow* m_mainWindow = nullptr;
    TDocManager* m_docManager = nullptr;
};
