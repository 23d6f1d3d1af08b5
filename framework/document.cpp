// framework/document.cpp: documents and their views attach, detach and show their title.
#include "framework/document.h"

#include <algorithm>

#include "framework/doc_manager.h"
#include "framework/doc_template.h"
#include "framework/view.h"
#include "framework/window.h"

TDocument::TDocument(TDocManager& manager) : m_manager(manager) {}

TDocument::~TDocument() {
    m_deleting = true;
    while (!m_views.empty()) delete m_views.back();
}

void TDocument::SetTitle(const wchar_t* title) {
    m_title = title ? title : L"";
    ReindexFrames();
}

void TDocument::ReindexFrames() {
    const int count = static_cast<int>(m_views.size());
    for (int i = 0; i < count; ++i)
        if (TWindow* window = m_views[i]->GetWindow())
            window->SetDocTitle(m_title.c_str(), count > 1 ? i + 1 : 0);
}

void TDocument::AttachView(TView& view) { m_views.push_back(&view); }

void TDocument::DetachView(TView& view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), &view), m_views.end());
    if (m_views.empty() && !m_deleting && m_template && m_template->IsAutoDelete())
        m_manager.DocumentEmptied(*this);
}

TView::TView(TDocument& document) : m_document(document) { m_document.AttachView(*this); }

TView::~TView() { m_document.DetachView(*this); }
