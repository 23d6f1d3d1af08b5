// framework/help.cpp: finding a help file and showing it in the help viewer.
#include "framework/help.h"

#include <cstdio>
#include <string>

#include "framework/dc.h"
#include "framework/window.h"
#include "text/utf16.h"

namespace {

constexpr long kLargestHelpFile = 1 << 20;   // ours is a few KiB; anything bigger is not help

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The longest path the wide calls hand over.
constexpr DWORD kLongestPath = 32768;

std::wstring ProgramFolder() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], kLongestPath);
    if (length == 0 || length >= kLongestPath) return {};
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring CurrentFolder() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetCurrentDirectoryW(kLongestPath, &path[0]);
    if (length == 0 || length >= kLongestPath) return {};
    path.resize(length);
    return path;
}

// The file's text, UTF-8 (ASCII is UTF-8), with every line ending in CR LF, as a multi-line
// edit control wants it.
bool ReadHelpText(const std::wstring& path, std::wstring& text) {
    std::FILE* file = _wfopen(path.c_str(), L"rb");
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
    for (wchar_t c : favpage::Wide(bytes)) {
        if (c == L'\r') continue;
        if (c == L'\n') text += L'\r';
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

    void Show(HWND owner, const std::wstring& caption, const std::wstring& text) {
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
                SendMessageW(m_hwnd, WM_SETICON, size, SendMessageW(owner, WM_GETICON, size, 0));
        } else {
            SetWindowTextW(m_field, m_text.c_str());
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
    const wchar_t* ClassName() const override { return L"THelpViewer"; }

    void SetupWindow() override {
        TWindow::SetupWindow();
        m_field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                      ES_READONLY | ES_AUTOVSCROLL,
                                  0, 0, 0, 0, m_hwnd, nullptr, ModuleInstance(), nullptr);
        SendMessageW(m_field, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        SendMessageW(m_field, EM_LIMITTEXT, 0, 0);
        SetWindowTextW(m_field, m_text.c_str());
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
        if (parent && GetClassLongPtrW(parent, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(WC_DIALOG))
            SendMessageW(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
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
        const TEXTMETRICW tm = screen.TextMetrics();
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

    std::wstring m_text;
    HWND m_field = nullptr;
    HWND m_returnFocus = nullptr;   // the owner's control that had the focus when help was asked
};

THelpViewer& Viewer() {
    static THelpViewer viewer;
    return viewer;
}

}  // namespace

std::wstring FindHelpFile(const wchar_t* name) {
    if (!name || !*name) return {};
    const std::wstring file(name);
    if (file.find_first_of(L"\\/:") != std::wstring::npos) return IsFile(file) ? file : std::wstring();
    for (const std::wstring& folder : {ProgramFolder(), CurrentFolder()}) {
        if (folder.empty()) continue;
        std::wstring path = folder;
        if (path.back() != '\\' && path.back() != '/') path += '\\';
        path += file;
        if (IsFile(path)) return path;
    }
    return {};
}

int HelpRequest(HWND owner, const wchar_t* helpFile, UINT command, ULONG_PTR) {
    switch (command) {
    case HELP_CONTENTS:
    case HELP_FINDER: {
        const std::wstring path = FindHelpFile(helpFile);
        std::wstring text;
        if (path.empty() || !ReadHelpText(path, text)) return 0;
        HWND topLevel = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
        Viewer().Show(topLevel, std::wstring(L"Help - ") + helpFile, text);
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
