// The real dialog view under Wine: fields filled from the stored settings when first shown,
// typing limits, EXIT and Escape that keep typed text out of the record and leave the object to
// be deleted (and save) at shutdown, Enter that takes the typed text, help with and without its
// file, and the status line's place from the system font.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "framework/dc.h"
#include "framework/help.h"
#include "settings/settings.h"
#include "tests/win32/framework/box_watcher.h"
#include "tests/win32/settings/registry_key.h"
#include "tests/win32/view/view_host.h"

namespace {

using favpage::SettingsRecord;
using favpage::kSettingsKeyPath;

constexpr wchar_t kStoredFolder[] = L"C:\\stored\\Łukasz 東京";
constexpr wchar_t kStoredPage[] = L"C:\\stored\\page 😀.htm";

class DialogView : public ::testing::Test {
protected:
    void SetUp() override {
        favpage::test::ClearProgramKey();
        favpage::test::WriteRegistryString(kSettingsKeyPath, "location", kStoredFolder);
        favpage::test::WriteRegistryString(kSettingsKeyPath, "output", kStoredPage);
        SettingsRecord = favpage::Settings{};
        EnterEmptyFolder("favpage-view-test");
    }
    void TearDown() override { favpage::test::ClearProgramKey(); }

    static std::wstring Stored(const char* name) {
        auto value = favpage::test::ReadRegistryValue(kSettingsKeyPath, name);
        return value ? favpage::test::TextOf(*value) : std::wstring(L"(none)");
    }
    static void Close(ViewHost& h) { PostMessageA(h.frame->GetHandle(), WM_CLOSE, 0, 0); }
};

TEST_F(DialogView, FieldsShowTheStoredSettingsAndTheStatusLineTheVersionWhenFirstShown) {
    std::wstring location, output;
    std::string status, caption;
    {
        ViewHost host;
        ASSERT_EQ(host.RunWith([&](ViewHost& h) {
            location = WideTextOf(h.Field(IDC_LOCATION));
            output = WideTextOf(h.Field(IDC_OUTPUT));
            status = TextOf(h.view->StatusLine->GetHandle());
            caption = TextOf(h.frame->GetHandle());
            Close(h);
        }), 0);
    }
    EXPECT_EQ(location, kStoredFolder);
    EXPECT_EQ(output, kStoredPage);
    EXPECT_EQ(caption, "favpage - Document");
    // Four lines: empty, the program and its author, empty, empty.
    ASSERT_EQ(status.size() > 2 ? status.substr(status.size() - 2) : "", "\n\n");
    EXPECT_EQ(status[0], '\n');
    EXPECT_NE(status.find("favpage"), std::string::npos);
}

TEST_F(DialogView, TypingStopsAt254CharactersInEitherField) {
    ViewHost host;
    int lengths[2] = {}, limits[2] = {};
    ASSERT_EQ(host.RunWith([&](ViewHost& h) {
        const int ids[2] = {IDC_LOCATION, IDC_OUTPUT};
        for (int i = 0; i < 2; ++i) {
            HWND field = h.Field(ids[i]);
            SetFocus(field);
            SendMessageA(field, EM_SETSEL, 0, -1);
            Type(field, std::string(300, 'x'));
            lengths[i] = GetWindowTextLengthA(field);
            limits[i] = static_cast<int>(SendMessageA(field, EM_GETLIMITTEXT, 0, 0));
        }
        Close(h);
    }), 0);
    EXPECT_EQ(lengths[0], 254);
    EXPECT_EQ(lengths[1], 254);
    EXPECT_EQ(limits[0], 254);
    EXPECT_EQ(limits[1], 254);
}

struct EndCase {
    const char* name;
    void (*press)(ViewHost&);
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class DialogEnd : public DialogView, public ::testing::WithParamInterface<EndCase> {};

TEST_P(DialogEnd, EndsTheProgramWithoutCopyingTypedTextAndSavesOnceAtShutdown) {
    std::wstring savedBeforeShutdown;
    {
        ViewHost host;
        ASSERT_EQ(host.RunWith([&](ViewHost& h) {
            HWND field = h.Field(IDC_LOCATION);
            SetFocus(field);
            SendMessageA(field, EM_SETSEL, 0, -1);
            Type(field, "C:\\typed");
            // From here on a save shows up as a new key.
            favpage::test::ClearProgramKey();
            GetParam().press(h);
        }), 0) << "the frame closed itself when the view's window went";
        ASSERT_NE(host.view, nullptr);
        EXPECT_EQ(host.view->GetHandle(), nullptr);
        EXPECT_STREQ(SettingsRecord.location, kStoredFolder);
        savedBeforeShutdown = Stored("location");
    }   // the host deletes the frame, which deletes the view, which saves
    EXPECT_EQ(savedBeforeShutdown, L"(none)") << "the view object lived on until shutdown";
    EXPECT_EQ(Stored("location"), kStoredFolder);
    EXPECT_EQ(Stored("output"), kStoredPage);
}

INSTANTIATE_TEST_SUITE_P(
    View, DialogEnd,
    ::testing::Values(
        EndCase{"ExitButton",
                [](ViewHost& h) { PostMessageA(h.Field(IDC_EXIT), BM_CLICK, 0, 0); }},
        EndCase{"EscapeKey",
                [](ViewHost& h) {
                    HWND field = h.Field(IDC_LOCATION);
                    PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                    PostMessageA(field, WM_KEYUP, VK_ESCAPE, 0xC0010001);
                }}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return info.param.name; });

TEST_F(DialogView, EnterInAFieldStartsAConversionWhichTakesTheTypedTextAndKeepsTheView) {
    bool viewAfterEnter = false, taken = false;
    std::wstring outputAfterEnter;
    {
        ViewHost host;
        ASSERT_EQ(host.RunWith([&](ViewHost& h) {
            HWND field = h.Field(IDC_OUTPUT);
            SetFocus(field);
            SendMessageA(field, EM_SETSEL, 0, -1);
            Type(field, "C:\\typed.htm");
            // The key as the message loop hands it on: through the windows' pre-processing,
            // where the dialog turns Enter into its default button's command.
            MSG key{field, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
            taken = h.ProcessMessage(key);
            viewAfterEnter = IsWindow(h.view->GetHandle()) != FALSE;
            outputAfterEnter = SettingsRecord.output;
            Close(h);
        }), 0);
        EXPECT_STREQ(SettingsRecord.location, kStoredFolder);
    }
    EXPECT_TRUE(taken);
    EXPECT_TRUE(viewAfterEnter) << "Enter reached the dialog's own OK handling";
    EXPECT_EQ(outputAfterEnter, L"C:\\typed.htm");
    EXPECT_EQ(Stored("output"), L"C:\\typed.htm");
}

TEST_F(DialogView, HelpShowsTheHelpFileInAViewerOwnedByTheProgramsWindow) {
    { std::ofstream("favpage.hlp", std::ios::binary) << "FAVPAGE HELP\nsecond line\n"; }
    HWND viewer = nullptr, owner = nullptr, frame = nullptr;
    std::string text;
    ViewHost host;
    ASSERT_EQ(host.RunWith([&](ViewHost& h) {
        frame = h.frame->GetHandle();
        // Sent, so the handler has run when this returns; a box instead would hold the loop
        // until the deadline.
        SendMessageA(h.view->GetHandle(), WM_COMMAND, MAKEWPARAM(IDC_SHOW_HELP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(h.Field(IDC_SHOW_HELP)));
        viewer = HelpViewerWindow();
        if (viewer) {
            owner = GetWindow(viewer, GW_OWNER);
            text = TextOf(GetWindow(viewer, GW_CHILD));
        }
        Close(h);
    }), 0);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(owner, frame);
    EXPECT_EQ(text, "FAVPAGE HELP\r\nsecond line\r\n");
    EXPECT_EQ(HelpViewerWindow(), nullptr) << "the viewer went with its owner";
    DeleteFileA("favpage.hlp");
}

TEST_F(DialogView, HelpWithoutTheFileShowsTheNotFoundBoxAndNothingElse) {
    BoxWatcher box("No Helpfile Found", IDOK);
    bool viewAfterBox = false;
    ViewHost host;
    ASSERT_EQ(host.RunWith([&](ViewHost& h) {
        // Returns once the box has been answered by the watcher thread.
        SendMessageA(h.view->GetHandle(), WM_COMMAND, MAKEWPARAM(IDC_SHOW_HELP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(h.Field(IDC_SHOW_HELP)));
        viewAfterBox = IsWindow(h.view->GetHandle()) != FALSE;
        Close(h);
    }), 0);
    ASSERT_TRUE(box.Wait()) << "no box captioned \"No Helpfile Found\"";
    EXPECT_EQ(box.Text(), "The file favpage.hlp could not be found.");
    EXPECT_EQ(box.Buttons(), std::vector<int>{IDOK});
    EXPECT_FALSE(box.HasIcon());
    EXPECT_TRUE(viewAfterBox);
    EXPECT_EQ(HelpViewerWindow(), nullptr);
}

TEST_F(DialogView, StatusLineIsPlacedInSystemFontUnits) {
    RECT rc{};
    LONG_PTR style = 0;
    int id = 0;
    ViewHost host;
    ASSERT_EQ(host.RunWith([&](ViewHost& h) {
        HWND line = h.view->StatusLine->GetHandle();
        GetWindowRect(line, &rc);
        MapWindowPoints(nullptr, h.view->GetHandle(), reinterpret_cast<POINT*>(&rc), 2);
        style = GetWindowLongPtrA(line, GWL_STYLE);
        id = GetDlgCtrlID(line);
        Close(h);
    }), 0);
    const TEXTMETRICW tm = TScreenDC().TextMetrics();
    ASSERT_GT(tm.tmAveCharWidth, 0);
    EXPECT_EQ(rc.left, tm.tmAveCharWidth * 10 / 4);
    EXPECT_EQ(rc.top, tm.tmHeight * 106 / 8);
    EXPECT_EQ(rc.right - rc.left, tm.tmAveCharWidth * 190 / 4);
    EXPECT_EQ(rc.bottom - rc.top, tm.tmHeight * 60 / 8);
    EXPECT_EQ(style & (SS_TYPEMASK | WS_GROUP | WS_TABSTOP | WS_CHILD | WS_VISIBLE),
              SS_LEFT | WS_GROUP | WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(id, -1);
}

}  // namespace
