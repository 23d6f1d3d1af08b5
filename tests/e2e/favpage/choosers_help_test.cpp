// tests/e2e/favpage/choosers_help_test.cpp: the two Browse... choosers and Help, driven from outside.
#include <algorithm>
#include <functional>

#include "tests/e2e/favpage/driver.h"
#include "tests/e2e/favpage/fixtures.h"

namespace e2e {
namespace {

constexpr int kFileNameBox = 1152;  // the file dialog's file-name field, kept out of view
constexpr int kFolderShown = 1088;  // the file dialog's line that shows the folder it is in
constexpr char kFolderTitle[] = "Find the directory that has the Shortcuts";
constexpr char kOutputTitle[] = "Select a filename for the output file";

void SetText(HWND window, const std::string& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

// Sets the chooser's file-name field and presses OK, as typing a name and pressing Enter does.
void EnterName(HWND chooser, const std::string& name) {
    SetText(GetDlgItem(chooser, kFileNameBox), name);
    Answer(chooser, IDOK);
}

// The folder a chooser shows it is in (in lower case, as the dialog writes it).
std::string ShownFolder(HWND chooser) { return TextOf(GetDlgItem(chooser, kFolderShown)); }

class Choosers : public ::testing::Test {
protected:
    void SetUp() override {
        // Names outside the code page: the choosers hand them over exactly.
        folder.MakeFolder("picked");
        folder.MakeFolder("picked\\Избранное 東京 😀");
        StoreSettings(folder / "start", folder / "start.htm");
    }
    TestFolder folder{"Choosers"};
};

TEST_F(Choosers, FolderChooserStoresTheFolderWithoutTheDummyName) {
    Favpage app;
    app.Press(104);
    HWND chooser = app.WaitForWindow(kFolderTitle);
    ASSERT_TRUE(chooser);
    // Only the folder list and the drive list are in view.
    RECT box, name;
    GetWindowRect(chooser, &box);
    GetWindowRect(GetDlgItem(chooser, kFileNameBox), &name);
    EXPECT_LE(name.right, box.left) << "the file-name field should be out of view";
    // Move into a folder (a folder name in the field navigates and the chooser stays open), and
    // accept it only once the chooser shows it: OK pressed earlier takes the folder shown before.
    const std::string picked = folder / "picked\\Избранное 東京 😀";
    EnterName(chooser, picked);
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ShownFolder(chooser), picked); }))
        << "the chooser shows " << ShownFolder(chooser);
    EnterName(chooser, "dummy.txt");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
    EXPECT_TRUE(WaitFor([&] { return _stricmp(app.FieldText(102).c_str(), picked.c_str()) == 0; }))
        << app.FieldText(102);
    EXPECT_EQ(app.FieldText(103), folder / "start.htm");
}

TEST_F(Choosers, OutputChooserStoresTheNameWithItsExtension) {
    Favpage app;
    app.Retype(102, "typed but never run");
    app.Press(105);
    HWND chooser = app.WaitForWindow(kOutputTitle);
    ASSERT_TRUE(chooser);
    // It starts from the stored output, not from the field.
    EXPECT_EQ(TextOf(GetDlgItem(chooser, kFileNameBox)).find("start.htm") != std::string::npos, true);
    EnterName(chooser, folder / "Ā links");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
    const std::string chosen = folder / "Ā links.htm";
    EXPECT_TRUE(WaitFor([&] { return _stricmp(app.FieldText(103).c_str(), chosen.c_str()) == 0; }))
        << app.FieldText(103);
    // Both fields come back from the record: the typed folder is gone.
    EXPECT_EQ(app.FieldText(102), folder / "start");
}

TEST_F(Choosers, CancelChangesNothing) {
    Favpage app;
    for (auto [button, title] : {std::pair{104, kFolderTitle}, std::pair{105, kOutputTitle}}) {
        app.Retype(103, "typed");
        app.Press(button);
        HWND chooser = app.WaitForWindow(title);
        ASSERT_TRUE(chooser) << title;
        Answer(chooser, IDCANCEL);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
        ASSERT_TRUE(app.Settle());
        EXPECT_EQ(app.FieldText(102), folder / "start");
        EXPECT_EQ(app.FieldText(103), "typed") << "a cancelled chooser must not refresh the fields";
    }
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
    EXPECT_EQ(ReadSetting("output")->text, folder / "start.htm" + std::string(1, '\0'));
}

// The program is copied into a folder of its own, with or without its help file beside it.
class Help : public ::testing::Test {
protected:
    std::string Install(const std::string& name, bool withHelp) {
        TestFolder place(name);
        const std::string exe = place / "favpage.exe";
        EXPECT_TRUE(CopyFileA(FavpageExe().c_str(), exe.c_str(), FALSE));
        if (withHelp) {
            std::string help = FavpageExe();
            help = help.substr(0, help.rfind('\\') + 1) + "favpage.hlp";
            EXPECT_TRUE(CopyFileA(help.c_str(), (place / "favpage.hlp").c_str(), FALSE)) << help;
        }
        return exe;
    }
};

TEST_F(Help, WithoutTheHelpFileSaysSo) {
    const std::string exe = Install("HelpMissing", false);
    Favpage app({SW_SHOWNORMAL, exe, "C:\\favpage-e2e\\HelpMissing"});
    app.Press(101);
    HWND box = app.WaitForWindow("No Helpfile Found");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "The file favpage.hlp could not be found.");
    EXPECT_TRUE(GetDlgItem(box, IDOK));
    EXPECT_FALSE(GetDlgItem(box, IDCANCEL));
    EXPECT_FALSE(MessageBoxHasIcon(box));
    Answer(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

// The control that has the keyboard focus in the program's window thread.
HWND FocusOf(const Favpage& app) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(app.Frame(), nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Help clicked or asked for from the keyboard, the viewer closed either way: each time the focus
// is back on Help, as the dialog's focused button, so the next Enter or Space shows help again
// instead of starting a conversion.
TEST_F(Help, WithTheHelpFileShowsItsContents) {
    const std::string exe = Install("HelpPresent", true);
    Favpage app({SW_SHOWNORMAL, exe, "C:\\favpage-e2e"});
    const auto before = TopLevelWindows(app.ProcessId());
    const std::string status = app.Status();
    HWND help = app.Control(101);
    const auto escape = [&](HWND) { app.Key(FocusOf(app), VK_ESCAPE); };
    const auto closeButton = [](HWND viewer) { PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const struct {
        const char* asking;
        std::function<void()> ask;
        const char* closing;
        std::function<void(HWND)> close;
    } kRounds[] = {
        {"a click", [&] {
             PostMessageA(help, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
             PostMessageA(help, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
         }, "Escape", escape},
        {"Enter", [&] { app.Key(FocusOf(app), VK_RETURN); }, "the close button", closeButton},
        {"Space", [&] { app.Key(FocusOf(app), VK_SPACE); }, "Escape", escape},
    };
    for (const auto& round : kRounds) {
        round.ask();
        HWND viewer = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (HWND w : TopLevelWindows(app.ProcessId()))
                if (IsWindowVisible(w) && std::find(before.begin(), before.end(), w) == before.end())
                    viewer = w;
            return viewer != nullptr;
        })) << "no help shown for " << round.asking;
        EXPECT_NE(TextOf(viewer), "No Helpfile Found");
        ASSERT_TRUE(WaitFor([&] {
            const HWND focus = FocusOf(app);
            return focus == viewer || IsChild(viewer, focus);
        })) << "the viewer did not take the focus";
        round.close(viewer);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(viewer); })) << round.closing;
        EXPECT_TRUE(WaitFor([&] { return FocusOf(app) == help; }, 5000))
            << "after closing by " << round.closing << " the focus is on "
            << GetDlgCtrlID(FocusOf(app));
    }
    EXPECT_EQ(app.Status(), status) << "a key meant for Help started a conversion";
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

// The window activated again, after another program's window was in front (Alt+Tab away and
// back, a click on another window and then on this one's caption), gives the focus back to the
// control that had it, as a dialog does, not to the dialog's first control. Rows: how many Tabs from the
// first control the focus was moved.
TEST(Focus, ComesBackToItsControlWhenTheWindowIsActivatedAgain) {
    // Made first: a window shown later would take the activation from the program's.
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(other);
    Favpage app;
    // Where the dialog puts the focus when it gets it without a control to go back to.
    HWND first = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (first = FocusOf(app)) != nullptr; }));
    for (int tabs : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(tabs) + " Tabs");
        const HWND from = FocusOf(app);
        app.Key(from, VK_TAB);
        HWND focus = from;
        // The key is posted: it is handled after the messages sent meanwhile.
        ASSERT_TRUE(WaitFor([&] { return (focus = FocusOf(app)) != from; }));
        ASSERT_TRUE(focus && focus != first && IsChild(app.Dialog(), focus));
        SetForegroundWindow(other);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }));
        ASSERT_TRUE(app.Settle());
        SetForegroundWindow(app.Frame());
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Frame(); }));
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(WaitFor([&] { return FocusOf(app) == focus; }, 3000))
            << "the focus went from control " << GetDlgCtrlID(focus) << " to "
            << GetDlgCtrlID(FocusOf(app));
    }
    DestroyWindow(other);
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

}  // namespace
}  // namespace e2e
