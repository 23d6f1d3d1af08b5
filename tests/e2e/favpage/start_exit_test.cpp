// tests/e2e/favpage/start_exit_test.cpp: what the user sees at start, and what each way out keeps.
#include <cstdlib>
#include <cstring>

#include "tests/e2e/favpage/driver.h"
#include "tests/e2e/favpage/fixtures.h"

namespace e2e {
namespace {

TEST(StartAndExit, FirstStartOffersTheUsersFavorites) {
    ClearSettings();
    const std::string favorites = FavoritesFolder();
    ASSERT_FALSE(favorites.empty()) << "the Wine user has no Favorites folder on record";

    Favpage app;
    EXPECT_EQ(app.FieldText(102), favorites);
    EXPECT_EQ(app.FieldText(103), favorites + "\\temp.htm");
    EXPECT_EQ(TextOf(app.Frame()), "favpage - Document");
    // The version text stands in the status line until the first run.
    EXPECT_EQ(app.Status().rfind("\n", 0), 0u) << app.Status();

    app.Press(IDCANCEL);
    EXPECT_EQ(app.WaitForExit(), 0);
    // The defaults are saved at exit, as REG_SZ with the terminating zero counted.
    auto location = ReadSetting("location");
    ASSERT_TRUE(location);
    EXPECT_EQ(location->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(location->text, favorites + std::string(1, '\0'));
}

TEST(StartAndExit, TypedFolderIsSavedOnlyAfterARun) {
    TestFolder folder("Typed");
    folder.MakeFolder("Old");
    folder.MakeFolder("New");
    StoreSettings(folder / "Old", folder / "page.htm");
    {
        Favpage app;
        EXPECT_EQ(app.FieldText(102), folder / "Old");
        app.Retype(102, folder / "New");
        EXPECT_EQ(app.FieldText(102), folder / "New");
        app.Press(2);  // EXIT
        EXPECT_EQ(app.WaitForExit(), 0);
    }
    EXPECT_EQ(ReadSetting("location")->text, folder / "Old" + std::string(1, '\0'));
    {
        Favpage app;
        app.Retype(102, folder / "New");
        EXPECT_EQ(app.RunConversion().rfind("Done.", 0), 0u) << app.Status();
        app.Press(2);
        EXPECT_EQ(app.WaitForExit(), 0);
    }
    EXPECT_EQ(ReadSetting("location")->text, folder / "New" + std::string(1, '\0'));
}

struct CloseCase {
    const char* name;
    void (*close)(Favpage&);
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class ClosePaths : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosePaths, EndWithExitCodeZeroAndSaveTheSettings) {
    TestFolder folder(std::string("Close") + GetParam().name);
    StoreSettings(folder.Path(), folder / "page.htm");
    Favpage app;
    // A run puts new values in the record; only a save at shutdown brings them to the registry.
    app.Retype(103, folder / "other.htm");
    EXPECT_EQ(app.RunConversion().rfind("Done.", 0), 0u) << app.Status();
    GetParam().close(app);
    EXPECT_EQ(app.WaitForExit(), 0);
    EXPECT_EQ(ReadSetting("output")->text, folder / "other.htm" + std::string(1, '\0'));
}

INSTANTIATE_TEST_SUITE_P(
    StartAndExit, ClosePaths,
    ::testing::Values(
        CloseCase{"Exit", [](Favpage& a) { a.Press(2); }},
        CloseCase{"Escape", [](Favpage& a) { a.Key(a.Control(102), VK_ESCAPE); }},
        CloseCase{"CloseBox", [](Favpage& a) { PostMessageA(a.Frame(), WM_CLOSE, 0, 0); }},
        CloseCase{"SystemMenu",
                  [](Favpage& a) { PostMessageA(a.Frame(), WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

RECT ScreenRectOf(HWND window, bool clientArea) {
    RECT rc{};
    if (clientArea) {
        GetClientRect(window, &rc);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    } else {
        GetWindowRect(window, &rc);
    }
    return rc;
}

bool Holds(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& rc) {
    return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" +
           std::to_string(rc.right) + "," + std::to_string(rc.bottom) + ")";
}

// Metrics of a font at this screen's resolution, measured here.
TEXTMETRICA MetricsOf(HFONT font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(screen, &tm);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return tm;
}

// Runs at 96 pixels per inch and, in a Wine prefix of its own, at 144 (FAVPAGE_TEST_DPI says
// which): the user can see and reach every control whatever the resolution.
TEST(WholeWindow, EveryControlLiesInsideTheFrameAboveTheStatusBar) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (const char* wanted = std::getenv("FAVPAGE_TEST_DPI")) {
        ASSERT_EQ(dpi, std::atoi(wanted)) << "the prefix's LogPixels did not take";
    }

    Favpage app;
    const RECT frame = ScreenRectOf(app.Frame(), false);
    const RECT area = ScreenRectOf(app.Frame(), true);
    const RECT dialog = ScreenRectOf(app.Dialog(), true);
    HWND bar = GetDlgItem(app.Frame(), 32040);
    ASSERT_TRUE(bar && IsWindowVisible(bar)) << "no status bar";
    const RECT barRect = ScreenRectOf(bar, false);
    RECT above = area;
    above.bottom = barRect.top;
    EXPECT_GT(barRect.bottom - barRect.top, 0);
    EXPECT_LE(barRect.bottom, area.bottom + GetSystemMetrics(SM_CYBORDER));

    int controls = 0;
    for (HWND c = GetWindow(app.Dialog(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        ++controls;
        const RECT rc = ScreenRectOf(c, false);
        EXPECT_TRUE(Holds(above, rc) && Holds(dialog, rc))
            << "control " << GetDlgCtrlID(c) << " \"" << TextOf(c).substr(0, 20) << "\" at "
            << Describe(rc) << ", frame's room above the status bar " << Describe(above)
            << ", dialog " << Describe(dialog) << ", at " << dpi << " pixels per inch";
    }
    EXPECT_EQ(controls, 11);   // ten from the template and the status line

    // The status line shows four lines in the dialog's font (the template's 8-point font).
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(8, dpi, 72);
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirectA(&lf);
    const TEXTMETRICA dialogFont = MetricsOf(font);
    DeleteObject(font);
    const RECT line = ScreenRectOf(app.StatusLine(), false);
    EXPECT_GE(line.bottom - line.top, 4 * (dialogFont.tmHeight + dialogFont.tmExternalLeading))
        << "status line " << Describe(line);

    // The frame starts at 214 x 200 dialog units of the system font and only ever grows from there;
    // at 96 pixels per inch that size holds the whole dialog.
    const TEXTMETRICA system = MetricsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    const LONG formulaWidth = system.tmAveCharWidth * 214 / 4;
    const LONG formulaHeight = system.tmHeight * 200 / 8;
    EXPECT_GE(frame.right - frame.left, formulaWidth);
    EXPECT_GE(frame.bottom - frame.top, formulaHeight);
    if (dpi == 96) {
        EXPECT_EQ(frame.right - frame.left, formulaWidth);
        EXPECT_EQ(frame.bottom - frame.top, formulaHeight);
    }
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

}  // namespace
}  // namespace e2e
