// framework/doc_manager.cpp: templates, and documents made, closed and deleted.
#include "framework/doc_manager.h"

#include <algorithm>
#include <memory>

#include "framework/application.h"
#include "framework/doc_template.h"
#include "framework/document.h"
#include "framework/frame_window.h"
#include "framework/resource_strings.h"
#include "framework/view.h"

namespace {
TDocTemplate* gTemplates = nullptr;
}  // namespace

TDocTemplate::TDocTemplate(const wchar_t* description, const wchar_t* filter, const wchar_t* directory,
                           const wchar_t* extension, long flags)
    : m_description(description ? description : L""),
      m_filter(filter ? filter : L""),
      m_directory(directory ? directory : L""),
      m_extension(extension ? extension : L""),
      m_flags(flags) {
    // Appended, so the list keeps the order of construction.
    TDocTemplate** at = &gTemplates;
    while (*at) at = &(*at)->m_next;
    *at = this;
}

TDocTemplate::~TDocTemplate() {
    for (TDocTemplate** at = &gTemplates; *at; at = &(*at)->m_next)
        if (*at == this) {
            *at = m_next;
            break;
        }
}

TDocTemplate* TDocTemplate::StaticList() { return gTemplates; }

TDocManager::TDocManager(unsigned mode, TApplication& app, TDocTemplate* templates)
    : m_mode(mode), m_app(app), m_templates(templates) {}

TDocManager::~TDocManager() {
    while (!m_documents.empty()) {
        TDocument* document = m_documents.back();
        m_documents.pop_back();
        DeleteDocument(*document);
    }
}

void TDocManager::DeleteDocument(TDocument& document) {
    // Views first, while the whole document is still there for their destructors.
    while (!document.Views().empty()) delete document.Views().back();
    delete &document;
}

TDocument* TDocManager::CreateAnyDoc(const wchar_t* path, long flags) {
    TDocTemplate* tpl = m_templates;   // the first template; there is no choice to offer
    if (!tpl) return nullptr;
    if (m_mode == kSingleDocument && !m_documents.empty()) {
        TDocument* open = m_documents.front();
        if (!open->CanClose()) return nullptr;
        CloseDoc(*open);
    }
    TDocument* document = tpl->ConstructDoc(*this);
    document->SetTemplate(tpl);
    m_documents.push_back(document);
    const bool untitled = (flags & kNewDocument) || !path;
    document->SetTitle(untitled ? LoadText(IDS_UNTITLED, L"Document").c_str() : path);

    TView* view = nullptr;
    try {
        view = tpl->ConstructView(*document);
    } catch (...) {
        if (tpl->IsAutoDelete()) CloseDoc(*document);
        throw;
    }
    NotifyMainWindow(kViewCreated, *view);
    if (!view->IsOK()) {
        if (tpl->IsAutoDelete()) CloseDoc(*document);
        return nullptr;
    }
    document->ReindexFrames();
    return document;
}

bool TDocManager::CanClose() {
    for (TDocument* document : m_documents)
        if (!document->CanClose()) return false;
    return true;
}

void TDocManager::CloseDoc(TDocument& document) {
    auto it = std::find(m_documents.begin(), m_documents.end(), &document);
    if (it == m_documents.end()) return;
    m_documents.erase(it);
    // Copy: each notification may change the view list.
    const std::vector<TView*> views = document.Views();
    for (TView* view : views) NotifyMainWindow(kViewClosed, *view);
    DeleteDocument(document);
}

void TDocManager::DocumentEmptied(TDocument& document) {
    auto it = std::find(m_documents.begin(), m_documents.end(), &document);
    if (it == m_documents.end()) return;
    m_documents.erase(it);
    delete &document;
}

void TDocManager::NotifyMainWindow(WPARAM code, TView& view) {
    TFrameWindow* main = m_app.GetMainWindow();
    if (main && main->GetHandle())
        SendMessageW(main->GetHandle(), WM_OWLVIEW, code, reinterpret_cast<LPARAM>(&view));
}
