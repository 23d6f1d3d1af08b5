// framework/doc_template.h: document templates, which make a document and its view.
#pragma once
#include <string>

class TDocManager;
class TDocument;
class TView;

// Template flags.
constexpr long kTemplateAutoDelete = 0x40000000;  // delete the document with its last view
constexpr long kTemplateUpdateDir = 0x04000000;   // file dialogs remember the chosen folder

// A template joins the process-wide list when constructed (static templates do so before the
// entry point runs) and leaves it when destroyed.
class TDocTemplate {
public:
    TDocTemplate(const wchar_t* description, const wchar_t* filter, const wchar_t* directory,
                 const wchar_t* extension, long flags);
    virtual ~TDocTemplate();
    TDocTemplate(const TDocTemplate&) = delete;
    TDocTemplate& operator=(const TDocTemplate&) = delete;

    static TDocTemplate* StaticList();
    TDocTemplate* Next() const { return m_next; }

    const std::wstring& Description() const { return m_description; }
    const std::wstring& Filter() const { return m_filter; }
    const std::wstring& Directory() const { return m_directory; }
    const std::wstring& Extension() const { return m_extension; }
    long Flags() const { return m_flags; }
    bool IsAutoDelete() const { return (m_flags & kTemplateAutoDelete) != 0; }

    virtual TDocument* ConstructDoc(TDocManager& manager) = 0;
    virtual TView* ConstructView(TDocument& document) = 0;

private:
    std::wstring m_description, m_filter, m_directory, m_extension;
    long m_flags;
    TDocTemplate* m_next = nullptr;
};

// The template for documents of class D shown by views of class V.
template <class D, class V>
class TDocTemplateT : public TDocTemplate {
public:
    using TDocTemplate::TDocTemplate;
    TDocument* ConstructDoc(TDocManager& manager) override { return new D(manager); }
    TView* ConstructView(TDocument& document) override { return new V(document); }
};
