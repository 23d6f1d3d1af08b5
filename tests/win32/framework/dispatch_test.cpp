// Response tables: a class's own entries before its base's, commands matched by id and only as
// commands, notifications by code, and what the main window leaves going to the application and
// then to the document manager.
#include <gtest/gtest.h>

#include <string>

#include "framework/application.h"
#include "framework/doc_manager.h"
#include "framework/frame_window.h"

namespace {

std::string gTrace;

class Base : public TWindow {
public:
    Base() : TWindow(nullptr) {}

protected:
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<Base> kTable[] = {
            Command(7, &Base::Seven),
            Command(8, &Base::Eight),
            Message(WM_TIMER, &Base::Timer),
        };
        return Respond(*this, kTable, ev) || TWindow::Dispatch(ev);
    }
    void Seven() { gTrace += "Base::Seven "; }
    void Eight() { gTrace += "Base::Eight "; }
    LRESULT Timer(TEvent&) {
        gTrace += "Base::Timer ";
        return 11;
    }
};

class Derived : public Base {
public:
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<Derived> kTable[] = {
            Command(7, &Derived::Seven),
            Notify(WM_OWLVIEW, kViewClosed, &Derived::Closed),
        };
        return Respond(*this, kTable, ev) || Base::Dispatch(ev);
    }

private:
    void Seven() { gTrace += "Derived::Seven "; }
    LRESULT Closed(TEvent& ev) {
        gTrace += "Derived::Closed(" + std::to_string(ev.lp) + ") ";
        return 5;
    }
};

struct DispatchCase {
    const char* name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool handled;
    const char* trace;
    LRESULT result;
};

void PrintTo(const DispatchCase& c, std::ostream* os) { *os << c.name; }

class ResponseTable : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(ResponseTable, FindsTheFirstMatchingEntryOwnTableFirst) {
    const DispatchCase& c = GetParam();
    gTrace.clear();
    Derived window;
    TEvent ev{c.msg, c.wp, c.lp};
    EXPECT_EQ(window.Dispatch(ev), c.handled);
    EXPECT_EQ(gTrace, c.trace);
    if (c.handled) {
        EXPECT_EQ(ev.result, c.result);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dispatch, ResponseTable,
    ::testing::Values(
        DispatchCase{"DerivedEntryHidesBase", WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0, true, "Derived::Seven ", 0},
        DispatchCase{"BaseEntryReachedThroughDerived", WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0, true, "Base::Eight ", 0},
        DispatchCase{"AcceleratorIsACommand", WM_COMMAND, MAKEWPARAM(8, 1), 0, true, "Base::Eight ", 0},
        DispatchCase{"ControlNotificationIsNoCommand", WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), 0, false, "", 0},
        DispatchCase{"UnknownIdFallsThrough", WM_COMMAND, MAKEWPARAM(9, BN_CLICKED), 0, false, "", 0},
        DispatchCase{"MessageEntryTakesAny", WM_TIMER, 3, 0, true, "Base::Timer ", 11},
        DispatchCase{"NotifyMatchesItsCode", WM_OWLVIEW, kViewClosed, 42, true, "Derived::Closed(42) ", 5},
        DispatchCase{"NotifyIgnoresOtherCodes", WM_OWLVIEW, kViewCreated, 42, false, "", 0}),
    [](const ::testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

// The chain beyond the main window: its own classes, then the application, then the manager.
class TracingManager : public TDocManager {
public:
    using TDocManager::TDocManager;
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<TracingManager> kTable[] = {
            Command(30, &TracingManager::Thirty),
            Command(20, &TracingManager::Twenty),
        };
        return Respond(*this, kTable, ev);
    }

private:
    void Thirty() { gTrace += "Manager::Thirty "; }
    void Twenty() { gTrace += "Manager::Twenty "; }
};

class TracingApp : public TApplication {
public:
    TracingApp() : TApplication(L"test", nullptr, SW_HIDE) {}
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<TracingApp> kTable[] = {
            Command(20, &TracingApp::Twenty),
            Command(10, &TracingApp::Ten),
        };
        return Respond(*this, kTable, ev) || TApplication::Dispatch(ev);
    }

private:
    void Twenty() { gTrace += "App::Twenty "; }
    void Ten() { gTrace += "App::Ten "; }
};

class TracingFrame : public TFrameWindow {
public:
    TracingFrame() : TFrameWindow(nullptr, L"frame") {}
    bool Dispatch(TEvent& ev) override {
        static constexpr TResponse<TracingFrame> kTable[] = {Command(10, &TracingFrame::Ten)};
        return Respond(*this, kTable, ev) || TFrameWindow::Dispatch(ev);
    }

private:
    void Ten() { gTrace += "Frame::Ten "; }
};

TEST(MainWindowChain, PassesWhatItLeavesToTheApplicationThenTheManager) {
    TracingApp app;
    app.SetDocManager(new TracingManager(TDocManager::kSingleDocument, app, nullptr));
    auto* frame = new TracingFrame;
    app.SetMainWindow(frame);
    gTrace.clear();
    for (UINT id : {10u, 20u, 30u, 40u}) {
        TEvent ev{WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0};
        frame->Dispatch(ev);
    }
    EXPECT_EQ(gTrace, "Frame::Ten App::Twenty Manager::Thirty ");
}

TEST(MainWindowChain, AFrameThatIsNotTheMainWindowKeepsToItself) {
    TracingApp app;
    app.SetDocManager(new TracingManager(TDocManager::kSingleDocument, app, nullptr));
    app.SetMainWindow(new TracingFrame);
    TracingFrame other;
    gTrace.clear();
    TEvent ev{WM_COMMAND, MAKEWPARAM(30, BN_CLICKED), 0};
    EXPECT_FALSE(other.Dispatch(ev));
    EXPECT_EQ(gTrace, "");
}

}  // namespace
