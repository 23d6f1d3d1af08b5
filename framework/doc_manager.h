// framework/doc_manager.h: TDocManager, which opens documents through the templates and tells
// the main window about their views.
#pragma once
#include <vector>

#include "framework/response_table.h"

class TApplication;
class TDocTemplate;
class TDocument;
class TView;

// The view notification, sent to the main window: wParam is the code, lParam the TView*.
constexpr UINT WM_OWLVIEW = 0x7FFC;
constexpr WPARAM kViewCreated = 0;
constexpr WPARAM kViewClosed = 1;

// Flag of CreateAnyDoc: a new document, not one read from a path.
constexpr long kNewDocument = static_cast<long>(0x80000000u);

class TDocManager : public TEventHandler {
public:
    // At most one document open at a time.
    static constexpr unsigned kSingleDocument = 1;

    TDocManager(unsigned mode, TApplication& app, TDocTemplate* templates);
    ~TDocManager() override;
    TDocManager(const TDocManager&) = delete;
    TDocManager& operator=(const TDocManager&) = delete;

    // Makes a document with the first template and its view. A new document is titled with
    // string 32503 ("Document"). In single-document mode an open document must first agree to
    // close. Returns nullptr when no document was made or it was deleted again because its view
    // is not usable.
    TDocument* CreateAnyDoc(const wchar_t* path, long flags);
    // Every document must agree.
    bool CanClose();
    const std::vector<TDocument*>& Documents() const { return m_documents; }
    // Tells the main window, closes the views, deletes the document.
    void CloseDoc(TDocument& document);

private:
    friend class TDocument;
    // A document whose last view went away (the template's auto-delete flag).
    void DocumentEmptied(TDocument& document);
    void NotifyMainWindow(WPARAM code, TView& view);
    void DeleteDocument(TDocument& document);

    unsigned m_mode;
    TApplication& m_app;
    TDocTemplate* m_templates;
    std::vector<TDocument*> m_documents;
};
