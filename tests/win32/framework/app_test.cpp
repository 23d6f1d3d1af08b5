// The application's loop: exception boxes (Yes resumes, No ends with -1, a failed set-up ends
// with -1 after an OK box) and idle passes offered to the windows, counted from 0 after messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/decorated_frame.h"
#include "framework/exceptions.h"
#include "tests/win32/framework/box_watcher.h"

namespace {

constexpr UINT kThrowOwl = 1, kThrowMsg = 2;

class ThrowingFrame : public TFrameWindow {
public:
    ThrowingFrame() : TFrameWindow(nullptr, L"thrower") {}
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<ThrowingFrame> kTable[] = {
            Command(kThrowOwl, &ThrowingFrame::ThrowOwl),
            Command(kThrowMsg, &ThrowingFrame::ThrowMsg),
            Message(WM_CREATE, &ThrowingFrame::EvCreateMaybeThrow),
        };
        return Respond(*this, kTable, ev) || TFrameWindow::Dispatch(ev);
    }
    static bool sThrowOnCreate;

private:
    void ThrowOwl() { throw TXOwl(L"window trouble"); }
    void ThrowMsg() { throw xmsg(L""); }
    LRESULT EvCreateMaybeThrow(TEvent& ev) {
        if (sThrowOnCreate) throw xalloc(L"no room", 64);
        return EvCreate(ev);
    }
};
bool ThrowingFrame::sThrowOnCreate = false;

class ThrowingApp : public TApplication {
public:
    ThrowingApp() : TApplication(L"thrower", nullptr, SW_SHOWNORMAL) {}

protected:
    void SetUpMainWindow() override { SetMainWindow(new ThrowingFrame); }
    void InitInstance() override {
        TApplication::InitInstance();
        HWND frame = GetMainWindow()->GetHandle();
        PostMessageA(frame, WM_COMMAND, kThrowOwl, 0);
        PostMessageA(frame, WM_COMMAND, kThrowMsg, 0);
    }
};

TEST(ExceptionBoxes, YesResumesTheLoopAndNoEndsItWithMinusOne) {
    ThrowingFrame::sThrowOnCreate = false;
    BoxWatcher owl("ObjectWindows Exception", IDYES);
    BoxWatcher other("Unhandled Exception", IDNO);
    ThrowingApp app;
    UINT_PTR deadline = StartLoopDeadline(15000, 99);
    EXPECT_EQ(app.Run(), -1);
    StopLoopDeadline(deadline);
    ASSERT_TRUE(owl.Wait());
    EXPECT_EQ(owl.Text(), "window trouble\nOK to resume?");
    EXPECT_EQ(owl.Buttons(), (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(owl.HasIcon());
    ASSERT_TRUE(other.Wait()) << "the loop went on after Yes";
    EXPECT_EQ(other.Text(), "Unknown Exception\nOK to resume?");
}

TEST(ExceptionBoxes, AnExceptionWhileSettingUpGetsAnOkBoxAndMinusOne) {
    ThrowingFrame::sThrowOnCreate = true;
    BoxWatcher box("Unhandled Exception", IDOK);
    ThrowingApp app;
    EXPECT_EQ(app.Run(), -1);
    ASSERT_TRUE(box.Wait());
    EXPECT_EQ(box.Text(), "no room");
    EXPECT_EQ(box.Buttons(), std::vector<int>{IDOK});
}

// Asks for more idle time until count 2; ends the loop the second time it gets there.
class IdleWatcher : public TWindow {
public:
    IdleWatcher() : TWindow(nullptr) { Attr().h = 10; }
    std::vector<long> counts;
    bool IdleAction(long idleCount) override {
        counts.push_back(idleCount);
        if (idleCount < 2) return true;
        const bool second = std::count(counts.begin(), counts.end(), 2L) == 2;
        PostMessageA(Parent()->GetHandle(), second ? WM_CLOSE : WM_NULL, 0, 0);
        return false;
    }
};

class IdleApp : public TApplication {
public:
    IdleApp() : TApplication(L"idle", nullptr, SW_SHOWNORMAL) {}
    IdleWatcher* watcher = nullptr;

protected:
    void SetUpMainWindow() override {
        auto* frame = new TDecoratedFrame(nullptr, L"idle");
        watcher = new IdleWatcher;
        frame->Insert(*watcher);
        SetMainWindow(frame);
    }
};

TEST(IdleProcessing, ReachesTheDecorationsCountingFromZeroAfterEachMessage) {
    IdleApp app;
    UINT_PTR deadline = StartLoopDeadline(15000, 99);
    ASSERT_EQ(app.Run(), 0);
    StopLoopDeadline(deadline);
    const std::vector<long>& c = app.watcher->counts;
    ASSERT_GE(c.size(), 6u);
    EXPECT_EQ(c.front(), 0);
    for (std::size_t i = 1; i < c.size(); ++i) {
        // A pass counts on by one while more is asked for; any message starts again at 0. After
        // the pass that asked for no more the loop waits for a message, so never goes past 2.
        const bool next = c[i - 1] < 2 && c[i] == c[i - 1] + 1;
        EXPECT_TRUE(c[i] == 0 || next) << "count " << c[i] << " after " << c[i - 1] << " at " << i;
    }
}

}  // namespace
