// The program started in this process, with a stand-in view: its captions, its size from the
// system font, the empty About command, a view that is not usable, and a failure while the
// first document is made.
#include <gtest/gtest.h>

#include "app/favpage_app.h"
#include "app/sdi_dec_frame.h"
#include "framework/doc_manager.h"
#include "framework/document.h"
#include "tests/win32/app/app_script.h"
#include "tests/win32/app/standin_view.h"

namespace {

std::string CaptionOf(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Captions of the top-level windows this thread creates, as they are created.
std::vector<std::string> gCreated;

LRESULT CALLBACK RecordCreation(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lp)->lpcs;
        if (!(cs->style & WS_CHILD)) gCreated.push_back(cs->lpszName ? cs->lpszName : "");
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        StandinJournal::Clear();
        StandinView::sUsable = true;
        StandinView::sThrowOnCreate = false;
    }
};

TEST_F(Startup, CaptionIsTheNameUntilTheViewIsInPlaceThenNamesTheDocument) {
    gCreated.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, &RecordCreation, nullptr, GetCurrentThreadId());
    std::string running;
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            running = CaptionOf(Frame());
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    UnhookWindowsHookEx(hook);
    ASSERT_FALSE(gCreated.empty());
    EXPECT_EQ(gCreated.front(), "favpage");   // the frame, as it is created
    EXPECT_EQ(StandinJournal::Read().captionAtConstruction, "favpage");   // shown, no view yet
    EXPECT_EQ(running, "favpage - Document");
}

TEST_F(Startup, FrameIsSizedFromTheSystemFontNotTheDialogFont) {
    // The metrics measured here on their own: the system font in a screen context.
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, GetStockObject(SYSTEM_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(screen, &tm);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    const LONG expectedWidth = tm.tmAveCharWidth * 214 / 4;
    const LONG expectedHeight = tm.tmHeight * 200 / 8;

    RECT frame{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            GetWindowRect(Frame(), &frame);
            GetWindowPlacement(Frame(), &placement);
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    EXPECT_EQ(frame.right - frame.left, expectedWidth)
        << "average character width " << tm.tmAveCharWidth << ", dialog base unit "
        << LOWORD(GetDialogBaseUnits());
    EXPECT_EQ(frame.bottom - frame.top, expectedHeight) << "character height " << tm.tmHeight;
    // Sized in its normal state: the restored rectangle is the one shown.
    EXPECT_EQ(placement.rcNormalPosition.right - placement.rcNormalPosition.left, expectedWidth);
}

TEST_F(Startup, FrameShowsIconResource1001AThirtyTwoPixelImage) {
    HICON shown = nullptr;
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            shown = reinterpret_cast<HICON>(SendMessageA(Frame(), WM_GETICON, ICON_BIG, 0));
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    HICON resource = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1001));
    ASSERT_NE(resource, nullptr) << "no icon 1001 in the program's resources";
    EXPECT_EQ(shown, resource);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(resource, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(Startup, AboutCommandReachesTheApplicationAndDoesNothing) {
    bool taken = false;
    int windowsBefore = -1, windowsAfter = -1;
    const auto countWindows = [] {
        int count = 0;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM lp) -> BOOL {
                if (IsWindowVisible(w)) ++*reinterpret_cast<int*>(lp);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        return count;
    };
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            windowsBefore = countWindows();
            TEvent ev{WM_COMMAND, MAKEWPARAM(2009, 0), 0};
            taken = App().Dispatch(ev);
            SendMessageA(Frame(), WM_COMMAND, MAKEWPARAM(2009, 0), 0);
        })
        .Then([&] {
            windowsAfter = countWindows();
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
            return true;
        });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    EXPECT_TRUE(taken);
    EXPECT_EQ(windowsAfter, windowsBefore);
}

TEST_F(Startup, AViewThatIsNotUsableLeavesTheFrameEmptyUntilItCloses) {
    StandinView::sUsable = false;
    TWindow* client = reinterpret_cast<TWindow*>(1);
    std::string caption;
    std::size_t documents = 99;
    AppScript script;
    script.Then([] { return IsWindowVisible(Frame()) != FALSE; })
        .Do([&] {
            client = App().GetMainWindow()->GetClientWindow();
            caption = CaptionOf(Frame());
            documents = App().GetDocManager()->Documents().size();
        })
        .Then([] { return IsWindow(Frame()) && PostMessageA(Frame(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    EXPECT_EQ(client, nullptr);
    EXPECT_EQ(caption, "favpage");
    EXPECT_EQ(documents, 0u);   // the template deletes the document with its view
}

TEST_F(Startup, ClosingTheDocumentTakesTheViewOutOfTheFrameAndTheTitleOffTheCaption) {
    std::string before, after;
    TWindow* client = reinterpret_cast<TWindow*>(1);
    bool frameOpen = false;
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            before = CaptionOf(Frame());
            TDocManager& manager = *App().GetDocManager();
            manager.CloseDoc(*manager.Documents().front());
            after = CaptionOf(Frame());
            client = App().GetMainWindow()->GetClientWindow();
        })
        .Then([&] {
            // The view's window went with it; the frame stays until it is closed.
            frameOpen = IsWindow(Frame()) != FALSE;
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
            return true;
        });
    EXPECT_EQ(script.Run(), 0) << script.Where();
    EXPECT_EQ(before, "favpage - Document");
    EXPECT_EQ(after, "favpage");
    EXPECT_EQ(client, nullptr);
    EXPECT_TRUE(frameOpen);
    EXPECT_EQ(StandinJournal::Read().saves, 1u);
}

TEST_F(Startup, AFailureWhileTheFirstDocumentIsMadeIsReportedWithoutAQuestion) {
    StandinView::sThrowOnCreate = true;
    BoxContents box;
    AppScript script;
    script.Then(AnswerBox("Unhandled Exception", IDOK, box));
    EXPECT_EQ(script.Run(), -1);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, "The stand-in view cannot be made");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(box.hasIcon);
}

}  // namespace
