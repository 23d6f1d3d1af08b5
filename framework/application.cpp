// framework/application.cpp: set-up, message loop and exception boxes of TApplication.
#include "framework/application.h"

#include <new>

#include "framework/doc_manager.h"
#include "framework/exceptions.h"
#include "framework/frame_window.h"
#include "framework/resource_strings.h"

namespace {
TApplication* gCurrent = nullptr;
}  // namespace

TApplication::TApplication(const wchar_t* name, HINSTANCE instance, int cmdShow)
    : m_name(name ? name : L""),
      m_instance(instance ? instance : GetModuleHandleW(nullptr)),
      m_cmdShow(cmdShow) {
    gCurrent = this;
}

TApplication::~TApplication() {
    delete m_mainWindow;
    m_mainWindow = nullptr;
    delete m_docManager;
    m_docManager = nullptr;
    if (gCurrent == this) gCurrent = nullptr;
}

TApplication* TApplication::Current() { return gCurrent; }

TFrameWindow* TApplication::SetMainWindow(TFrameWindow* window) {
    TFrameWindow* previous = m_mainWindow;
    m_mainWindow = window;
    return previous;
}

void TApplication::SetDocManager(TDocManager* manager) {
    if (manager == m_docManager) return;
    delete m_docManager;
    m_docManager = manager;
}

void TApplication::SetUpMainWindow() {
    SetMainWindow(new TFrameWindow(nullptr, m_name.c_str()));
}

void TApplication::InitInstance() {
    SetUpMainWindow();
    if (!m_mainWindow) throw TXOwl(L"The application has no main window");
    m_mainWindow->Create();
    ShowWindow(m_mainWindow->GetHandle(), m_cmdShow);
}

int TApplication::Run() {
    try {
        InitInstance();
        if (std::exception_ptr e = TakePendingException()) std::rethrow_exception(e);
    } catch (...) {
        ReportException(std::current_exception(), false);
        return -1;
    }
    return MessageLoop();
}

bool TApplication::CanClose() {
    return (!m_mainWindow || m_mainWindow->CanClose()) && (!m_docManager || m_docManager->CanClose());
}

bool TApplication::Dispatch(TEvent& ev) { return m_docManager && m_docManager->Dispatch(ev); }

bool TApplication::IdleAction(long idleCount) {
    return m_mainWindow && m_mainWindow->IdleAction(idleCount);
}

bool TApplication::ProcessMessage(MSG& msg) {
    // From the target outwards: a control, its dialog, the frame. A top-level window ends it.
    for (HWND hwnd = msg.hwnd; hwnd;) {
        if (TWindow* window = TWindow::FromHandle(hwnd))
            if (window->PreProcessMsg(msg)) return true;
        if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetParent(hwnd);
    }
    return false;
}

int TApplication::MessageLoop() {
    long idleCount = 0;
    MSG msg;
    for (;;) {
        bool waitForMessage = false;
        try {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
                idleCount = 0;
                if (!ProcessMessage(msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            } else {
                waitForMessage = !IdleAction(idleCount++);
            }
        } catch (...) {
            KeepPendingException(std::current_exception());
        }
        if (std::exception_ptr e = TakePendingException()) {
            if (!ReportException(e, true)) return -1;
            continue;
        }
        if (waitForMessage) WaitMessage();
    }
}

bool TApplication::ReportException(std::exception_ptr e, bool ask) {
    std::wstring caption = LoadText(IDS_UNHANDLED_XMSG, L"Unhandled Exception");
    std::wstring text;
    try {
        std::rethrow_exception(e);
    } catch (const TXOwl& x) {
        caption = LoadText(IDS_OWL_EXCEPTION, L"ObjectWindows Exception");
        text = x.why();
    } catch (const xmsg& x) {
        text = x.why();
    } catch (const std::bad_alloc&) {
        text = L"Out of memory";
    } catch (const std::exception& x) {
        // The runtime's own texts are ASCII.
        for (const char* c = x.what(); *c; ++c) text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    } catch (...) {
    }
    if (text.empty()) text = L"Unknown Exception";
    UINT flags = MB_ICONSTOP | MB_TASKMODAL;
    if (ask) {
        text += L"\n" + LoadText(IDS_OK_TO_RESUME, L"OK to resume?");
        flags |= MB_YESNO;
    } else {
        flags |= MB_OK;
    }
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), flags) == IDYES;
}
