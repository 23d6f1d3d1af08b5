// Exceptions: one escaping a handler is reported in the framework's box, which asks whether to
// resume; one escaping the application object is reported by the entry point.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/entry.h"
#include "framework/exceptions.h"
#include "tests/win32/app/app_script.h"
#include "tests/win32/app/standin_resources.h"
#include "tests/win32/app/standin_view.h"

namespace {

// Captions of the dialog boxes this thread activated.
std::vector<std::string> gActivatedBoxes;

LRESULT CALLBACK RecordActivation(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        char cls[16] = "", caption[128] = "";
        GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof cls);
        GetWindowTextA(reinterpret_cast<HWND>(wp), caption, sizeof caption);
        if (lstrcmpA(cls, "#32770") == 0 && lstrcmpA(caption, "STAND-IN") != 0)
            gActivatedBoxes.push_back(caption);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

struct HandlerCase {
    const char* name;
    int button;            // the stand-in's button whose handler throws
    const char* caption;
    const char* text;
    int answer;
    int exitCode;
};

void PrintTo(const HandlerCase& c, std::ostream* os) { *os << c.name; }

class HandlerException : public ::testing::TestWithParam<HandlerCase> {
protected:
    void SetUp() override { StandinJournal::Clear(); }
};

TEST_P(HandlerException, IsShownAndYesResumesWhileNoEndsTheProgram) {
    const HandlerCase& c = GetParam();
    gActivatedBoxes.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, &RecordActivation, nullptr, GetCurrentThreadId());
    BoxContents box;
    bool resumed = false;
    AppScript script;
    script.Then([] { return Client() != nullptr; })
        .Do([&] {
            PostMessageA(Client(), WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(Client(), c.button)));
        })
        .Then(AnswerBox(c.caption, c.answer, box))
        .Then([&] { return FindWindowA("#32770", c.caption) == nullptr; })
        .Then([&] {
            resumed = IsWindow(Frame()) && IsWindow(Client());
            PostMessageA(Frame(), WM_CLOSE, 0, 0);
            return true;
        });
    EXPECT_EQ(script.Run(), c.exitCode) << script.Where();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(gActivatedBoxes, std::vector<std::string>{c.caption});
    ASSERT_TRUE(box.seen) << "no box captioned " << c.caption;
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(resumed, c.answer == IDYES);
    // Whichever way it ended, the view was deleted once, after the frame's window.
    const StandinJournal journal = StandinJournal::Read();
    EXPECT_EQ(journal.saves, 1u);
    EXPECT_TRUE(journal.frameGoneAtSave);
}

INSTANTIATE_TEST_SUITE_P(
    App, HandlerException,
    ::testing::Values(
        HandlerCase{"MessageYes", IDC_THROW_XMSG, "Unhandled Exception",
                    "Stand-in failure\nOK to resume?", IDYES, 0},
        HandlerCase{"MessageNo", IDC_THROW_XMSG, "Unhandled Exception",
                    "Stand-in failure\nOK to resume?", IDNO, -1},
        HandlerCase{"FrameworkYes", IDC_THROW_OWL, "ObjectWindows Exception",
                    "Stand-in framework failure\nOK to resume?", IDYES, 0},
        HandlerCase{"FrameworkNo", IDC_THROW_OWL, "ObjectWindows Exception",
                    "Stand-in framework failure\nOK to resume?", IDNO, -1}),
    [](const ::testing::TestParamInfo<HandlerCase>& info) { return info.param.name; });

TEST(EntryPoint, AMessageExceptionEscapingTheApplicationGetsThePlainExceptionBox) {
    BoxContents box;
    AppScript script;
    script.Then(AnswerBox("Exception", IDOK, box));
    const int result = script.RunWith(
        [] { return RunReportingMessageExceptions([]() -> int { throw TXOwl(L"Out of windows"); }); });
    EXPECT_EQ(result, -1);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, "Out of windows");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(box.hasIcon);
}

}  // namespace
