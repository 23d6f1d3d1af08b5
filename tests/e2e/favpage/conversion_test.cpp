// tests/e2e/favpage/conversion_test.cpp: Start Conversion over real folders, as a user runs it.
#include <cstring>
#include <thread>

#include "tests/e2e/favpage/driver.h"
#include "tests/e2e/favpage/fixtures.h"

namespace e2e {
namespace {

const char kClassic[] = "[InternetShortcut]\r\nURL=";

// How many entries the folder lists, "." and ".." included.
int EntriesIn(const TestFolder& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder / "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int entries = 0;
    do {
        ++entries;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

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
    EXPECT_EQ(EntriesIn(folder), 4);  // ".", "..", Fav, page.htm
}

// Paths outside the code page, through every door of the window: the shell's Favorites value,
// the fields, the run, the status line and the registry.

// The Favorites folder of a user named outside the code page, with its best-fit look-alike
// beside it: the first start must offer, convert and remember the real one.
TEST(Conversion, FirstStartOfAUserNamedOutsideTheCodePageUsesTheRealFavorites) {
    TestFolder folder("Profile");
    const std::string real = folder / "Łukasz\\Favorites";
    const std::string lookAlike = folder / "Lukasz\\Favorites";
    for (const char* f : {"Łukasz", "Łukasz\\Favorites", "Lukasz", "Lukasz\\Favorites"})
        folder.MakeFolder(f);
    folder.WriteFile("Łukasz\\Favorites\\Real.url", std::string(kClassic) + "http://real/\r\n");
    folder.WriteFile("Lukasz\\Favorites\\Decoy.url", std::string(kClassic) + "http://decoy/\r\n");
    const std::string favorites = FavoritesFolder();
    SetFavoritesFolder(real);
    ClearSettings();
    {
        Favpage app;
        EXPECT_EQ(app.FieldText(102), real);
        EXPECT_EQ(app.FieldText(103), real + "\\temp.htm");
        EXPECT_EQ(app.RunConversion(), "Done.  Searched " + real + "\n and found 1 Shortcut files.");
        app.Press(2);
        EXPECT_EQ(app.WaitForExit(), 0);
    }
    SetFavoritesFolder(favorites);
    const std::string page = ReadFileBytes(real + "\\temp.htm");
    EXPECT_NE(page.find("<li><A HREF=\"http://real/\">Real</A>"), std::string::npos) << page;
    EXPECT_NE(page.find("Profile\\&#321;ukasz\\Favorites<br>On "), std::string::npos) << page;
    EXPECT_FALSE(Exists(lookAlike + "\\temp.htm"));
    EXPECT_EQ(ReadSetting("location")->text, real + std::string(1, '\0'));
    EXPECT_EQ(ReadSetting("output")->text, real + "\\temp.htm" + std::string(1, '\0'));
}

// Typed into the fields, Japanese, Greek and an emoji are converted, shown in the status line
// and offered again at the next start.
TEST(Conversion, FieldsOutsideTheCodePageAreConvertedAndComeBackAtTheNextStart) {
    TestFolder folder("Scripts");
    const std::string favorites = folder / "東京 Ἀθῆναι 😀";
    const std::string page = folder / "ページ 😀.htm";
    folder.MakeFolder("東京 Ἀθῆναι 😀");
    folder.WriteFile("東京 Ἀθῆναι 😀\\天気.url", std::string(kClassic) + "http://tenki/\r\n");
    StoreSettings(folder / "start", folder / "start.htm");
    {
        Favpage app;
        app.Retype(102, favorites);
        app.Retype(103, page);
        EXPECT_EQ(app.RunConversion(),
                  "Done.  Searched " + favorites + "\n and found 1 Shortcut files.");
        app.Press(2);
        EXPECT_EQ(app.WaitForExit(), 0);
    }
    EXPECT_NE(ReadFileBytes(page).find("<li><A HREF=\"http://tenki/\">&#22825;&#27671;</A>"),
              std::string::npos);
    Favpage again;
    EXPECT_EQ(again.FieldText(102), favorites);
    EXPECT_EQ(again.FieldText(103), page);
}

// Paths as a user hands them to the fields (Explorer's "Copy as path", a native path from a
// tool, a file dropped where a folder goes, a path longer than a field holds, put there by
// another program): each is taken as meant, or refused whole. The page exists beforehand.
struct FieldCase {
    const char* name;
    std::string (*location)(const TestFolder&);
    std::string (*output)(const TestFolder&);
    const char* box;   // the box the run shows, answered with `answer`; nullptr: none
    int answer;
    std::string (*status)(const TestFolder&);  // the status at the end; nullptr: as before the run
    bool replaced;     // the page was written anew
};
void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class FieldPaths : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldPaths, AreTakenAsMeantOrRefusedWhole) {
    const FieldCase& c = GetParam();
    TestFolder folder(std::string("Field") + c.name);
    MakeFavorites(folder);
    folder.WriteFile("page.htm", "old page");
    StoreSettings(folder / "start", folder / "start.htm");
    Favpage app;
    // Set as a paste or another program sets them: the whole text at once.
    for (auto [id, text] : {std::pair{102, c.location(folder)}, std::pair{103, c.output(folder)}})
        SendMessageW(app.Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    const std::string before = app.Status();
    app.Press(1);
    if (c.box) {
        HWND box = app.WaitForWindow(c.box);
        ASSERT_TRUE(box) << "no box " << c.box;
        if (c.answer == IDOK) {
            EXPECT_EQ(MessageBoxText(box),
                      "The path you chose is longer than 254 characters, too long to be kept.");
        }
        Answer(box, c.answer);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    }
    ASSERT_TRUE(app.Settle());
    const std::string expected = c.status ? c.status(folder) : before;
    std::string status;
    WaitFor([&] { return (status = app.Status()) == expected; });
    EXPECT_EQ(status, expected);
    EXPECT_FALSE(app.WaitForWindow("Overwrite?", 500)) << "a question nobody expected";
    const std::string page = ReadFileBytes(folder / "page.htm");
    if (c.replaced) {
        EXPECT_TRUE(PageIs(page, folder / "Fav",
                           ExpectedBody(folder / "Fav", "C__favpage_e2e_Field" + std::string(c.name) + "_Fav")));
    } else {
        EXPECT_EQ(page, "old page");
    }
    // Nothing was written under a name the user never gave.
    EXPECT_EQ(EntriesIn(folder), 4);  // ".", "..", Fav, page.htm
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

// A path of exactly 258 characters ending in "page.htm" in the test's folder.
std::string PathOf258(const TestFolder& folder) {
    const std::string start = folder.Path() + "\\";
    return start + std::string(258 - start.size() - 8, 'p') + "page.htm";
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, FieldPaths,
    ::testing::Values(
        FieldCase{"Quoted",
                  [](const TestFolder& f) { return "\"" + f / "Fav" + "\""; },
                  [](const TestFolder& f) { return "\"" + f / "page.htm" + "\""; },
                  "Overwrite?", IDYES,
                  [](const TestFolder& f) {
                      return "Done.  Searched " + f / "Fav" + "\n and found 2 Shortcut files.";
                  },
                  true},
        FieldCase{"NativePrefix",
                  [](const TestFolder& f) { return "\\??\\" + f / "Fav"; },
                  [](const TestFolder& f) { return "\\??\\" + f / "page.htm"; },
                  "Overwrite?", IDNO,
                  [](const TestFolder&) { return std::string("Starting search for URLs"); },
                  false},
        FieldCase{"FileAsFolder",
                  [](const TestFolder& f) { return f / "Fav\\Alpha.url"; },
                  [](const TestFolder& f) { return f / "page.htm"; },
                  nullptr, 0,
                  [](const TestFolder& f) {
                      return "Unable to find directory\n " + f / "Fav\\Alpha.url";
                  },
                  false},
        FieldCase{"LongerThanTheField",
                  [](const TestFolder& f) { return f / "Fav"; },
                  [](const TestFolder& f) { return PathOf258(f); },
                  "favpage", IDOK, nullptr, false}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

// Puts text on the clipboard, as another program's copy does.
void CopyToClipboard(const std::string& text) {
    const std::wstring wide = Wide(text);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(data), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

// A pasted path longer than a field holds is refused whole with the chooser's box, and the field
// keeps what it had; a path that fits is pasted. Both fields, by the paste command, Ctrl+V and
// Shift+Insert.
TEST(Conversion, APasteLongerThanAFieldHoldsIsRefusedWhole) {
    TestFolder folder("Paste");
    StoreSettings(folder / "start", folder / "start.htm");
    Favpage app;
    const auto shiftInsert = [](HWND) {
        INPUT keys[4] = {};
        const WORD vk[4] = {VK_SHIFT, VK_INSERT, VK_INSERT, VK_SHIFT};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = vk[i];
            keys[i].ki.dwFlags = (vk[i] == VK_INSERT ? KEYEVENTF_EXTENDEDKEY : 0) |
                                 (i >= 2 ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(4, keys, sizeof(INPUT));
    };
    const struct {
        int field;
        const char* how;
        void (*paste)(HWND);
        bool keyboard;  // typed on the keyboard: the field must have the focus
    } kRows[] = {
        {103, "WM_PASTE", [](HWND f) { SendMessageW(f, WM_PASTE, 0, 0); }, false},
        {103, "Ctrl+V", [](HWND f) { SendMessageW(f, WM_CHAR, 0x16, 1); }, false},
        {103, "Shift+Insert", shiftInsert, true},
        {102, "WM_PASTE", [](HWND f) { SendMessageW(f, WM_PASTE, 0, 0); }, false},
        {102, "Ctrl+V", [](HWND f) { SendMessageW(f, WM_CHAR, 0x16, 1); }, false},
        {102, "Shift+Insert", shiftInsert, true},
    };
    // Selects the whole field. Keys typed go to the window with the focus, so a keyboard row
    // clicks the field first and selects in the same queue after the click, whose caret would
    // otherwise undo a selection made before the click is handled.
    const auto selectAll = [&](HWND field, bool keyboard) {
        if (!keyboard) {
            SendMessageW(field, EM_SETSEL, 0, -1);
            return true;
        }
        SetForegroundWindow(app.Frame());
        PostMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        PostMessageW(field, EM_SETSEL, 0, -1);
        return WaitFor([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            const auto length = static_cast<WORD>(SendMessageW(field, WM_GETTEXTLENGTH, 0, 0));
            return GetGUIThreadInfo(GetWindowThreadProcessId(field, nullptr), &info) &&
                   info.hwndFocus == field && GetForegroundWindow() == app.Frame() &&
                   SendMessageW(field, EM_GETSEL, 0, 0) == MAKELONG(0, length);
        });
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(std::to_string(row.field) + " " + row.how);
        HWND field = app.Control(row.field);
        const std::string before = app.FieldText(row.field);
        CopyToClipboard(PathOf258(folder));
        ASSERT_TRUE(selectAll(field, row.keyboard));
        std::thread pasting([&] { row.paste(field); });
        HWND box = app.WaitForWindow("favpage");
        if (box) {
            EXPECT_EQ(MessageBoxText(box),
                      "The path you chose is longer than 254 characters, too long to be kept.");
            Answer(box, IDOK);
        }
        pasting.join();
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(box) << "no box";
        EXPECT_EQ(app.FieldText(row.field), before);
        // A path of just as many characters as the field holds is pasted whole.
        const std::string fits = folder.Path() + "\\" + std::string(254 - folder.Path().size() - 1, 'f');
        CopyToClipboard(fits);
        ASSERT_TRUE(selectAll(field, row.keyboard));
        row.paste(field);
        // Typed keys may reach the field after a message sent to it: wait for the text itself.
        WaitFor([&] { return app.FieldText(row.field) == fits; });
        EXPECT_EQ(app.FieldText(row.field), fits);
        EXPECT_FALSE(app.WaitForWindow("favpage", 300));
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(before).c_str()));
    }
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

}  // namespace
}  // namespace e2e
