// framework/document.h: TDocument and TFileDocument, the documents the document manager keeps.
#pragma once
#include <string>
#include <vector>

class TDocManager;
class TDocTemplate;
class TView;

// A document with its views. Deleting it deletes the views that are still attached.
class TDocument {
public:
    explicit TDocument(TDocManager& manager);
    virtual ~TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    TDocManager& GetDocManager() const { return m_manager; }
    TDocTemplate* GetTemplate() const { return m_template; }
    void SetTemplate(TDocTemplate* tpl) { m_template = tpl; }
    const std::vector<TView*>& Views() const { return m_views; }

    const std::wstring& GetTitle() const { return m_title; }
    // Sets the title and shows it in the frames of the views.
    void SetTitle(const wchar_t* title);
    // Shows the title in the views' frames, numbered when there is more than one view.
    void ReindexFrames();

    virtual bool IsDirty() const { return false; }
    // A document that is not dirty may always close.
    virtual bool CanClose() { return !IsDirty(); }

private:
    friend class TView;
    void AttachView(TView& view);
    void DetachView(TView& view);

    TDocManager& m_manager;
    TDocTemplate* m_template = nullptr;
    std::vector<TView*> m_views;
    std::wstring m_title;
    bool m_deleting = false;
};

// A document kept in a file. This program never reads or writes it, so it is never dirty.
class TFileDocument : public TDocument {
public:
    using TDocument::TDocument;
};
