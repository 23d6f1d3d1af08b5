// framework/help.cpp: finding a help file and showing it in the help viewer.
#include "framework/help.h"

#include <cstdio>
#include <string>

#include "framework/dc.h"
#include "framework/window.h"

namespace {

constexpr long kLargestHelpFile = 1 << 20;   // ours is a few KiB; anything bigger is not help

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

std::string CurrentFolder() {
    char path[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

// The file's text with every line ending in CR LF, as a multi-line edit control wants it.
bool ReadHelpText(const std::string& path, std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string bytes;
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 &&
           bytes.size() < static_cast<std::size_t>(kLargestHelpFile))
        bytes.append(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return false;
    text.clear();
    for (char c : bytes) {
        if (c == '\r') continue;
        if (c == '\n') text += '\r';
        text += c;
    }
    return true;
}

// A plain top-level window, owned by the program's window, with a read-only text field.
class THelpViewer : public TWindow {
public:
    THelpViewer() : TWindow(nullptr) {
        TWindowAttr& a = Attr();
        a.style = WS_OVERLAPPEDWINDOW;
        a.x = a.y = a.w = a.h = CW_USEDEFAULT;
    }

    void Show(HWND owner, const std::string& caption, const std::string& text) {
        if (m_hwnd && GetWindow(m_hwnd, GW_OWNER) != owner) Destroy();
        SetCaption(caption.c_str());
        m_text = text;
        const HWND focus = GetFocus();
        if (!m_hwnd || (focus != m_hwnd && !IsChild(m_hwnd, focus))) m_returnFocus = focus;
        if (!m_hwnd) {
            Attr().owner = owner;
            PlaceBeside(owner);
            Create();
            // The program's own icon, in the task bar and the caption, rather than a blank one.
            for (WPARAM size : {ICON_BIG, ICON_SMALL})
                SendMessageA(m_hwnd, WM_SETICON, size, SendMessageA(owner, WM_GETICON, size, 0));
        } else {
            SetWindowTextA(m_field, m_text.c_str());
        }
        ShowWindow(m_hwnd, SW_SHOWNORMAL);
        SetForegroundWindow(m_hwnd);
    }

    bool PreProcessMsg(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            Close();
            return true;
        }
        return false;
    }

protected:
    const char* ClassName() const override { return "THelpViewer"; }

    void SetupWindow() override {
        TWindow::SetupWindow();
        m_field = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                      ES_READONLY | ES_AUTOVSCROLL,
                                  0, 0, 0, 0, m_hwnd, nullptr, ModuleInstance(), nullptr);
        SendMessageA(m_field, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        SendMessageA(m_field, EM_LIMITTEXT, 0, 0);
        SetWindowTextA(m_field, m_text.c_str());
        FitField();
    }

    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<THelpViewer> kTable[] = {
            Message(WM_SIZE, &THelpViewer::EvSize),
            Message(WM_SETFOCUS, &THelpViewer::EvSetFocus),
            Message(WM_CLOSE, &THelpViewer::EvClose),
            Message(WM_CTLCOLORSTATIC, &THelpViewer::EvCtlColorStatic),
        };
        return Respond(*this, kTable, ev) || TWindow::Dispatch(ev);
    }

private:
    LRESULT EvSize(TEvent&) {
        FitField();
        return 0;
    }
    LRESULT EvSetFocus(TEvent&) {
        if (m_field) SetFocus(m_field);
        return 0;
    }
    LRESULT EvClose(TEvent&) {
        Close();
        return 0;
    }

    // Closed while in use, the viewer gives the focus back to the control that had it when help
    // was asked for: the owner, activated again, would put it on its first control, and a Space
    // meant for Help would press that.
    void Close() {
        const bool active = GetActiveWindow() == m_hwnd;
        Destroy();
        const HWND control = m_returnFocus;
        m_returnFocus = nullptr;
        if (!active || !IsWindow(control) || !IsWindowVisible(control) || !IsWindowEnabled(control))
            return;
        // Moved by its dialog, the focus takes the default button's frame along, so that Enter
        // presses the focused button as it did before.
        const HWND parent = GetParent(control);
        if (parent && GetClassLongPtrA(parent, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(WC_DIALOG))
            SendMessageA(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        else
            SetFocus(control);
    }

    // A read-only field is drawn grey by default; help reads better on the window colour.
    LRESULT EvCtlColorStatic(TEvent& ev) {
        HDC dc = reinterpret_cast<HDC>(ev.wp);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }

    void FitField() {
        RECT rc{};
        GetClientRect(m_hwnd, &rc);
        MoveWindow(m_field, 0, 0, rc.right, rc.bottom, TRUE);
    }

    // About 70 characters by 30 lines of the field's font, a little below and right of the owner.
    void PlaceBeside(HWND owner) {
        TScreenDC screen;
        HGDIOBJ old = SelectObject(screen.Handle(), GetStockObject(DEFAULT_GUI_FONT));
        const TEXTMETRICA tm = screen.TextMetrics();
        SelectObject(screen.Handle(), old);
        TWindowAttr& a = Attr();
        a.w = tm.tmAveCharWidth * 70 + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXSIZEFRAME);
        a.h = tm.tmHeight * 30 + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYSIZEFRAME);
        RECT rc{};
        if (owner && GetWindowRect(owner, &rc)) {
            a.x = rc.left + ScreenPixels(24);
            a.y = rc.top + ScreenPixels(24);
        }
    }

    std::string m_text;
    HWND m_field = nullptr;
    HWND m_returnFocus = nullptr;   // the owner's control that had the focus when help was asked
};

THelpViewer& Viewer() {
    static THelpViewer viewer;
    return viewer;
}

}  // namespace

std::string FindHelpFile(const char* name) {
    if (!name || !*name) return {};
    const std::string file(name);
    if (file.find_first_of("\\/:") != std::string::npos) return IsFile(file) ? file : std::string();
    for (const std::string& folder : {ProgramFolder(), CurrentFolder()}) {
        if (folder.empty()) continue;
        std::string path = folder;
        if (path.back() != '\\' && path.back() != '/') path += '\\';
        path += file;
        if (IsFile(path)) return path;
    }
    return {};
}

int HelpRequest(HWND owner, const char* helpFile, UINT command, ULONG_PTR) {
    switch (command) {
    case HELP_CONTENTS:
    case HELP_FINDER: {
        const std::string path = FindHelpFile(helpFile);
        std::string text;
        if (path.empty() || !ReadHelpText(path, text)) return 0;
        HWND topLevel = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
        Viewer().Show(topLevel, std::string("Help - ") + helpFile, text);
        return 1;
    }
    case HELP_QUIT:
        Viewer().Destroy();
        return 1;
    default:
        return 0;
    }
}

HWND HelpViewerWindow() { return Viewer().GetHandle(); }
