// The single-document manager: the main window hears of each view, a second document closes the
// first (views told and deleted, the emptied document deleted), an unusable view leaves no
// client and no document, and the frame's caption follows the document title.
#include <gtest/gtest.h>

#include <string>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/doc_manager.h"
#include "framework/doc_template.h"
#include "framework/document.h"
#include "framework/frame_window.h"
#include "framework/view.h"
#include "tests/win32/framework/test_resources.h"

namespace {

std::string gTrace;
bool gViewsUsable = true;

class TracedDocument : public TFileDocument {
public:
    explicit TracedDocument(TDocManager& m) : TFileDocument(m) {}
    ~TracedDocument() override { gTrace += "doc-deleted "; }
};

class TestView : public TDialog, public TView {
public:
    explicit TestView(TDocument& doc) : TDialog(nullptr, IDD_TEST_CLIENT), TView(doc) {}
    ~TestView() override { gTrace += "view-deleted "; }
    const wchar_t* GetViewName() const override { return L"Test View"; }
    TWindow* GetWindow() override { return this; }
    bool IsOK() const override { return gViewsUsable; }
};

TDocTemplateT<TracedDocument, TestView> gTemplate(L"All Files (*.*)", L"*.*", nullptr, L"TXT",
                                                  kTemplateAutoDelete);

class DocApp : public TApplication {
public:
    DocApp() : TApplication(L"host", nullptr, SW_SHOWNORMAL) {
        SetDocManager(new TDocManager(TDocManager::kSingleDocument, *this, TDocTemplate::StaticList()));
    }
    void Start() { InitInstance(); }
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<DocApp> kTable[] = {
            Notify(WM_OWLVIEW, kViewCreated, &DocApp::Created),
            Notify(WM_OWLVIEW, kViewClosed, &DocApp::Closed),
        };
        return Respond(*this, kTable, ev) || TApplication::Dispatch(ev);
    }

private:
    LRESULT Created(TEvent& ev) {
        gTrace += "created ";
        auto* view = reinterpret_cast<TView*>(ev.lp);
        GetMainWindow()->SetClientWindow(view->GetWindow());
        if (!view->IsOK()) GetMainWindow()->SetClientWindow(nullptr);
        return 0;
    }
    LRESULT Closed(TEvent&) {
        gTrace += "closed ";
        GetMainWindow()->SetClientWindow(nullptr);
        return 0;
    }
};

std::string Caption(HWND hwnd) {
    char text[128] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

TEST(SingleDocument, ANewDocumentReplacesTheOpenOneAndIsShownInTheFrame) {
    gTrace.clear();
    gViewsUsable = true;
    DocApp app;
    app.Start();
    TDocManager& manager = *app.GetDocManager();
    TDocument* first = manager.CreateAnyDoc(nullptr, kNewDocument);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTitle(), L"Document");
    EXPECT_EQ(app.GetMainWindow()->GetClientWindow(), first->Views().at(0)->GetWindow());
    EXPECT_EQ(Caption(app.GetMainWindow()->GetHandle()), "host - Document");
    TDocument* second = manager.CreateAnyDoc(nullptr, kNewDocument);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(manager.Documents().size(), 1u);
    EXPECT_EQ(app.GetMainWindow()->GetClientWindow(), second->Views().at(0)->GetWindow());
    EXPECT_EQ(gTrace, "created closed view-deleted doc-deleted created ");
}

TEST(SingleDocument, AnUnusableViewLeavesNoClientAndNoDocument) {
    gTrace.clear();
    gViewsUsable = false;
    DocApp app;
    app.Start();
    EXPECT_EQ(app.GetDocManager()->CreateAnyDoc(nullptr, kNewDocument), nullptr);
    EXPECT_EQ(app.GetMainWindow()->GetClientWindow(), nullptr);
    EXPECT_TRUE(app.GetDocManager()->Documents().empty());
    EXPECT_EQ(gTrace, "created closed view-deleted doc-deleted ");
}

TEST(SingleDocument, AtShutdownTheViewGoesWithTheFrameBeforeItsDocument) {
    gTrace.clear();
    gViewsUsable = true;
    {
        DocApp app;
        app.Start();
        app.GetDocManager()->CreateAnyDoc(nullptr, kNewDocument);
        gTrace.clear();
    }
    EXPECT_EQ(gTrace, "view-deleted doc-deleted ");
}

struct CaptionCase {
    const wchar_t* frameTitle;
    const wchar_t* docTitle;
    int index;
    const char* caption;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.caption; }

class CaptionRule : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionRule, FrameTitleDashDocumentTitleAndAnIndexAboveZero) {
    const CaptionCase& c = GetParam();
    TFrameWindow frame(nullptr, c.frameTitle);
    frame.Create();
    frame.SetDocTitle(c.docTitle, c.index);
    EXPECT_EQ(Caption(frame.GetHandle()), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Frame, CaptionRule,
    ::testing::Values(CaptionCase{L"favpage", L"Document", 0, "favpage - Document"},
                      CaptionCase{L"favpage", L"Document", 2, "favpage - Document:2"},
                      CaptionCase{L"", L"Document", 0, "Document"},
                      CaptionCase{L"favpage", L"Document", -1, "favpage"}));

}  // namespace
