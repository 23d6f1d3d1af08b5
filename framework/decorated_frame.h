// framework/decorated_frame.h: TDecoratedFrame, a frame with decorations (a status bar) below
// its client window, and the menu hints it shows in its status bar.
#pragma once
#include <vector>

#include "framework/frame_window.h"

// The child-window id by which a frame finds its status bar.
constexpr int IDW_STATUSBAR = 32040;

// A decoration that can show a one-line hint in place of its own contents (a status bar).
class THintBar {
public:
    // Any text, an empty one too, replaces the contents; nullptr brings them back.
    virtual void SetHintText(const wchar_t* text) = 0;

protected:
    ~THintBar() = default;
};

// Decorations are child windows along an edge of the frame, across its whole width; the client
// takes what they leave. Only the bottom edge is needed.
//
// A frame that tracks menu selection shows a hint for the highlighted item of its menus in the
// status bar: the string resource numbered like the item, looked up once per item when the menu
// loop goes idle, and removed when the menu closes.
class TDecoratedFrame : public TFrameWindow {
public:
    enum class Location { Bottom };

    TDecoratedFrame(TWindow* parent, const wchar_t* title, TWindow* client = nullptr,
                    bool trackMenuSelection = false);

    // Makes `decoration` a child of the frame (which then owns it) along `where`. Its window is
    // created with the frame's, at the height it was given; the frame sets place and width.
    void Insert(TWindow& decoration, Location where = Location::Bottom);
    const std::vector<TWindow*>& Decorations() const { return m_bottom; }
    // Decorations first, from the bottom edge up, then the client gets the rest.
    void Layout() override;
    // Offers the message to the visible decorations (key watchers), then to the frame.
    bool PreProcessMsg(MSG& msg) override;

    // Hint strings are read into a buffer of this size: at most 127 characters are shown.
    static constexpr int kHintBufferSize = 128;

protected:
    bool Dispatch(TEvent& ev) override;
    const wchar_t* ClassName() const override { return L"TDecoratedFrame"; }
    void OnChildRemoved(TWindow& child) override;
    // The heights of the decorations that are laid out (those whose window is visible).
    int DecorationsHeight() const override;

    // The highlighted item changed: decides which hint is due.
    virtual void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    // The menu loop went idle: shows the due hint, once per item.
    virtual void OnEnterIdle(UINT source, HWND window);

private:
    LRESULT EvMenuSelect(TEvent& ev);
    LRESULT EvEnterIdle(TEvent& ev);
    THintBar* HintBar() const;

    std::vector<TWindow*> m_bottom;
    bool m_trackMenuSelection;
    // The hint due at the next idle moment of the menu loop: 0 none, -1 an empty hint, else
    // the number of the string to show.
    int m_menuItemId = 0;
};
