// tests/e2e/favpage/start_exit_test.cpp: what the user sees at start, and what each way out keeps.
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
    EXPECT_EQ(location->bytes, favorites + std::string(1, '\0'));
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
    EXPECT_EQ(ReadSetting("location")->bytes, folder / "Old" + std::string(1, '\0'));
    {
        Favpage app;
        app.Retype(102, folder / "New");
        EXPECT_EQ(app.RunConversion().rfind("Done.", 0), 0u) << app.Status();
        app.Press(2);
        EXPECT_EQ(app.WaitForExit(), 0);
    }
    EXPECT_EQ(ReadSetting("location")->bytes, folder / "New" + std::string(1, '\0'));
}

struct CloseCase {
    const char* name;
    void (*close)(Favpage&);
};

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
    EXPECT_EQ(ReadSetting("output")->bytes, folder / "other.htm" + std::string(1, '\0'));
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
