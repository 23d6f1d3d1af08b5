// framework/window.h: TWindow, the object behind one window: binding, creation, children, dispatch.
#pragma once
#include "framework/response_table.h"

#include <cstddef>
#include <string>
#include <vector>

// Direction of a data transfer between a window's controls and its transfer buffer.
enum class TTransfer { GetData, SetData };

// What CreateWindowExA is given for a window this object creates.
struct TWindowAttr {
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    int x = 0, y = 0, w = 0, h = 0;
    int id = 0;
    HWND owner = nullptr;   // a top-level window without a parent object: its owner
};

// One window object. It is bound to its window at the window's first message (WM_NCCREATE for
// windows of our own classes, WM_INITDIALOG for dialogs, right after creation for system
// controls) and unbound at the last (WM_NCDESTROY); the object outlives its window and is
// deleted by whoever owns it: a parent deletes its child objects.
class TWindow : public TEventHandler {
public:
    explicit TWindow(TWindow* parent, const wchar_t* title = nullptr);
    ~TWindow() override;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND GetHandle() const { return m_hwnd; }
    TWindow* Parent() const { return m_parent; }
    const std::vector<TWindow*>& Children() const { return m_children; }
    TWindowAttr& Attr() { return m_attr; }
    const TWindowAttr& Attr() const { return m_attr; }
    const std::wstring& Title() const { return m_title; }

    // Moves this object into `parent`'s child list (or out of any list for nullptr). The window,
    // if it exists, is not re-parented: that is the caller's business.
    void SetParentWindow(TWindow* parent);

    // Creates the window and, through SetupWindow, its children. Throws TXOwl when the window
    // cannot be created, or rethrows what a handler threw during creation.
    virtual void Create();
    // Destroys the window (and with it the child windows); the objects stay.
    void Destroy();

    void SetCaption(const wchar_t* text);

    // Called once the window exists: creates the child windows that do not exist yet.
    virtual void SetupWindow();
    // Asks each child that has a window; a window may close only if all agree.
    virtual bool CanClose();
    // Offered each queued message before it is dispatched, from the target window outwards;
    // true means the message was taken and must not be dispatched.
    virtual bool PreProcessMsg(MSG& msg);
    // Idle time: offered to every child. `idleCount` is 0 on the first pass after messages.
    // True asks for another pass before the loop waits for messages.
    virtual bool IdleAction(long idleCount);
    // A document title to show; windows pass it up to the frame that shows it.
    virtual bool SetDocTitle(const wchar_t* docTitle, int index);
    // Moves this control's data to or from `buffer`; returns the bytes it occupies there, 0 for
    // windows that take no part in transfers.
    virtual std::size_t Transfer(void* buffer, TTransfer direction);

    // A message box owned by this window.
    int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT flags);
    // Asks the help layer for `helpFile` (HELP_CONTENTS, ...); 1 on success, 0 on failure.
    int RequestHelp(const wchar_t* helpFile, UINT command, ULONG_PTR data);

    // The object bound to `hwnd`, or nullptr.
    static TWindow* FromHandle(HWND hwnd);

protected:
    bool Dispatch(TEvent& ev) override;
    // What happens to a message no table takes.
    virtual LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Our own window class: its name and its registration data.
    virtual const wchar_t* ClassName() const;
    virtual void GetWindowClass(WNDCLASSW& wc) const;

    // Binds a window that this object did not create through its own class; with `subclass`
    // the window's messages are routed through the object first (system controls).
    void Attach(HWND hwnd, bool subclass);
    void Detach();
    // Dispatch inside the exception barrier: what a handler throws is kept for the message loop,
    // which reports it where only our own code is on the stack.
    bool DispatchSafely(TEvent& ev) noexcept;
    // The parent lets go of a child object (deleted, or moved elsewhere).
    virtual void OnChildRemoved(TWindow& child);

    LRESULT EvCreate(TEvent& ev);

    static HINSTANCE ModuleInstance();
    static void RethrowPending();

    HWND m_hwnd = nullptr;

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Receive(UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void RegisterOwnClass() const;

    TWindow* m_parent = nullptr;
    std::vector<TWindow*> m_children;   // owned, in creation order (also the transfer order)
    std::wstring m_title;
    TWindowAttr m_attr;
    WNDPROC m_prevProc = nullptr;       // a subclassed control's own procedure
};
