// tests/e2e/favpage/conversion_test.cpp: Start Conversion over real folders, as a user runs it.
#include "tests/e2e/favpage/driver.h"
#include "tests/e2e/favpage/fixtures.h"

namespace e2e {
namespace {

const char kClassic[] = "[InternetShortcut]\r\nURL=";

// A small tree: two folders, two shortcuts and a file that is no shortcut.
void MakeFavorites(const TestFolder& folder) {
    folder.MakeFolder("Fav");
    folder.MakeFolder("Fav\\News");
    folder.MakeFolder("Fav\\Cars");
    folder.WriteFile("Fav\\Cars\\Fast Car.url", std::string(kClassic) + "page-c.htm\r\n");
    folder.WriteFile("Fav\\Alpha.url", std::string(kClassic) + "page-a.htm\r\n");
    folder.WriteFile("Fav\\notes.txt", "not a shortcut\r\n");
}

std::string ExpectedBody(const std::string& root, const std::string& anchor) {
    return "Sub-Folders in " + root + "<ul>\r\n"
           "<li><A HREF=\"#" + anchor + "_Cars\">" + root + "\\Cars</A>\r\n"
           "<li><A HREF=\"#" + anchor + "_News\">" + root + "\\News</A>\r\n"
           "</ul>\r\n"
           "<p>Shortcuts in " + root + ":\r\n"
           "<ul>\r\n"
           "<li><A HREF=\"page-a.htm\">Alpha</A>\r\n"
           "\r\n"
           "</ul>\r\n"
           "<A NAME=\"" + anchor + "_Cars\"></A><p>Shortcuts in " + root + "\\Cars:\r\n"
           "<ul>\r\n"
           "<li><A HREF=\"page-c.htm\">Fast Car</A>\r\n"
           "\r\n"
           "</ul>\r\n"
           "<A NAME=\"" + anchor + "_News\"></A><p>The folder " + root + "\\News has no shortcuts.<p>\r\n";
}

TEST(Conversion, WritesThePageAndReportsTheCount) {
    TestFolder folder("Run");
    MakeFavorites(folder);
    const std::string page = folder / "page.htm";
    StoreSettings(folder / "Fav", page);

    Favpage app;
    EXPECT_EQ(app.RunConversion(),
              "Done.  Searched " + folder / "Fav" + "\n and found 2 Shortcut files.");
    EXPECT_TRUE(PageIs(ReadFileBytes(page), folder / "Fav",
                       ExpectedBody(folder / "Fav", "C__favpage_e2e_Run_Fav")));
    // The shortcut files are read, never changed.
    EXPECT_EQ(ReadFileBytes(folder / "Fav\\Alpha.url"), std::string(kClassic) + "page-a.htm\r\n");

    // A second run counts afresh.
    folder.WriteFile("Fav\\News\\Extra.url", std::string(kClassic) + "x.htm\r\n");
    HWND box = nullptr;
    app.Press(1);
    ASSERT_TRUE(box = app.WaitForWindow("Overwrite?"));
    Answer(box, IDYES);
    EXPECT_EQ(app.WaitForStatusChange("Starting search for URLs"),
              "Done.  Searched " + folder / "Fav" + "\n and found 3 Shortcut files.");
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

TEST(Conversion, EnterInAFieldStartsARun) {
    TestFolder folder("Enter");
    MakeFavorites(folder);
    StoreSettings(folder / "Fav", folder / "page.htm");
    Favpage app;
    const std::string before = app.Status();
    app.Key(app.Control(103), VK_RETURN);
    EXPECT_EQ(app.WaitForStatusChange(before).rfind("Done.", 0), 0u);
    EXPECT_TRUE(Exists(folder / "page.htm"));
}

TEST(Conversion, ExistingPageIsReplacedOnlyAfterYes) {
    TestFolder folder("Overwrite");
    MakeFavorites(folder);
    const std::string page = folder / "page.htm";
    folder.WriteFile("page.htm", "old page");
    StoreSettings(folder / "Fav", page);

    Favpage app;
    app.Press(1);
    HWND box = app.WaitForWindow("Overwrite?");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "Output file already exists,\ndo you want to overwrite?");
    EXPECT_TRUE(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO));
    EXPECT_FALSE(GetDlgItem(box, IDCANCEL));
    EXPECT_EQ(GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON)
        << "Yes is the default";
    // A box owned by the view belongs to the view's top-level window, the frame.
    EXPECT_EQ(GetWindow(box, GW_OWNER), app.Frame());
    EXPECT_FALSE(MessageBoxHasIcon(box));
    Answer(box, IDNO);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(app.Status(), "Starting search for URLs");
    EXPECT_EQ(ReadFileBytes(page), "old page");

    app.Press(1);
    box = app.WaitForWindow("Overwrite?");
    ASSERT_TRUE(box);
    Answer(box, IDYES);
    EXPECT_EQ(app.WaitForStatusChange("Starting search for URLs").rfind("Done.", 0), 0u);
    EXPECT_TRUE(PageIs(ReadFileBytes(page), folder / "Fav",
                       ExpectedBody(folder / "Fav", "C__favpage_e2e_Overwrite_Fav")));
}

TEST(Conversion, MissingFolderIsReported) {
    TestFolder folder("Missing");
    StoreSettings(folder / "Nowhere", folder / "page.htm");
    Favpage app;
    EXPECT_EQ(app.RunConversion(),
              "Unable to find directory\n " + folder / "Nowhere");
    EXPECT_FALSE(Exists(folder / "page.htm"));
}

TEST(Conversion, OutputThatIsAFolderIsReported) {
    TestFolder folder("OutputFolder");
    MakeFavorites(folder);
    folder.MakeFolder("page.htm");
    StoreSettings(folder / "Fav", folder / "page.htm");
    Favpage app;
    EXPECT_EQ(app.RunConversion(), "Unable to open " + folder / "page.htm");
}

TEST(Conversion, PageThatCannotBeReplacedIsWrittenInPlace) {
    TestFolder folder("Locked");
    MakeFavorites(folder);
    const std::string page = folder / "page.htm";
    folder.WriteFile("page.htm", "old page");
    StoreSettings(folder / "Fav", page);
    // Another program holds the page open for reading and writing but not for deletion or
    // renaming, so no finished page can take its place: the page itself is written.
    HANDLE held = CreateFileA(page.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    Favpage app;
    app.Press(1);
    HWND box = app.WaitForWindow("Overwrite?");
    ASSERT_TRUE(box);
    Answer(box, IDYES);
    const std::string status = app.WaitForStatusChange("Starting search for URLs");
    CloseHandle(held);
    EXPECT_EQ(status.rfind("Done.", 0), 0u) << status;
    EXPECT_TRUE(PageIs(ReadFileBytes(page), folder / "Fav",
                       ExpectedBody(folder / "Fav", "C__favpage_e2e_Locked_Fav")));
    // No temporary file is left beside the page.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder / "*").c_str(), &found);
    int entries = 0;
    do {
        ++entries;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(entries, 4);  // ".", "..", Fav, page.htm
}

}  // namespace
}  // namespace e2e
