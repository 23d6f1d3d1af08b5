// framework/decorated_frame.h: TDecoratedFrame, a frame with decorations (a status bar) below
// its client window.
#pragma once
#include <vector>

#include "framework/frame_window.h"

// Decorations are child windows along an edge of the frame, across its whole width; the client
// takes what they leave. Only the bottom edge is needed.
class TDecoratedFrame : public TFrameWindow {
public:
    enum class Location { Bottom };

    TDecoratedFrame(TWindow* parent, const char* title, TWindow* client = nullptr);

    // Makes `decoration` a child of the frame (which then owns it) along `where`. Its window is
    // created with the frame's, at the height it was given; the frame sets place and width.
    void Insert(TWindow& decoration, Location where = Location::Bottom);
    const std::vector<TWindow*>& Decorations() const { return m_bottom; }
    // Decorations first, from the bottom edge up, then the client gets the rest.
    void Layout() override;
    // Offers the message to the visible decorations (key watchers), then to the frame.
    bool PreProcessMsg(MSG& msg) override;

protected:
    const char* ClassName() const override { return "TDecoratedFrame"; }
    void OnChildRemoved(TWindow& child) override;

private:
    std::vector<TWindow*> m_bottom;
};
