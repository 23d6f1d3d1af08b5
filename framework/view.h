// framework/view.h: TView, what a document shows itself through.
#pragma once

class TDocument;
class TWindow;

// The document side of a view; the window side comes from the class that also derives from a
// window class. A view attaches itself to its document when constructed and detaches when
// deleted.
class TView {
public:
    explicit TView(TDocument& document);
    virtual ~TView();
    TView(const TView&) = delete;
    TView& operator=(const TView&) = delete;

    TDocument& GetDocument() const { return m_document; }
    virtual const wchar_t* GetViewName() const = 0;
    // The window that shows this view.
    virtual TWindow* GetWindow() = 0;
    // False when the view could not be made usable; the frame then keeps no client.
    virtual bool IsOK() const { return true; }

private:
    TDocument& m_document;
};
