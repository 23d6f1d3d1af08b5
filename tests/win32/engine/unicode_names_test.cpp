// Names in any script on Windows: every favorite is found and read through the wide calls,
// whatever its characters; names that fit the code page are written as its bytes, exactly as
// before, and the others as character references. The tests run with code page 1252.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "engine/conversion_run.h"
#include "engine/folder_walk.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

class FixedHost : public ConversionHost {
public:
    void ShowStatus(const std::string& text) override { last = text; }
    bool ConfirmOverwrite() override { return true; }
    LocalTime ReadClock() override { return LocalTime{}; }
    std::string last;
};

// A shortcut file at `rel` (UTF-8, '/' separated) below `root`.
void WriteShortcut(const TempFolder& root, const char* rel, const std::string& text) {
    const fs::path p = fs::path(root.Path()) / fs::u8path(rel);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::string Classic(const std::string& url) { return "[InternetShortcut]\r\nURL=" + url + "\r\n"; }

std::string CrlfLines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// The page body after the head, and the run's count; the files read as `readAhead` says.
std::pair<std::string, int32_t> Convert(const TempFolder& root,
                                        ReadAheadMode readAhead = ReadAheadMode::Auto) {
    TempFolder out;
    FixedHost host;
    int32_t count = -1;
    EXPECT_EQ(RunConversion(root.Path(), out.Path("page.htm"), host, count, OutputKind::Page,
                            readAhead),
              ConversionResult::Done)
        << host.last;
    const std::string page = out.ReadFile("page.htm");
    // The page says first that its bytes are in the code page.
    EXPECT_EQ(page.find("<html>\r\n<head>\r\n<META HTTP-EQUIV=\"Content-Type\" "
                        "CONTENT=\"text/html; charset=windows-1252\">\r\n<TITLE>"),
              0u);
    const size_t body = page.find("</p>");
    return {body == std::string::npos ? page : page.substr(body + 4), count};
}

TEST(UnicodeNames, EveryFavoriteIsFoundAndWrittenAsItsRealCharacters) {
    ASSERT_EQ(GetACP(), 1252u) << "the tests expect the Western code page";
    TempFolder root;
    const struct {
        const char* rel;
        std::string text;
    } files[] = {
        {"plain.url", Classic("http://plain/")},
        {"R\u00e5d & R\u00e4tt.url", Classic("http://rad/")},
        {"\u672c\u793e\u30dd\u30fc\u30bf\u30eb\u30b5\u30a4\u30c8.url", Classic("http://portal/")},
        {"\U0001F525 Deals.url", Classic("http://deals/")},
        {"\u03a8\u03b1\u2115.url", Classic("http://psi/")},
        // Side by side: the best-fit look-alike of one is the other.
        {"\u0100.url", Classic("http://a-macron/")},
        {"A.url", Classic("http://a/")},
        // Two folders whose anchors coincide once their characters become '_'.
        {"\u65e5\u672c/x.url", Classic("http://x/")},
        {"\u4e2d\u56fd/y.url", Classic("http://y/")},
        // Windows keeps an address with characters outside the code page in UTF-7.
        {"address.url",
         "[InternetShortcut]\r\nURL=http://?aN?" "?/\r\n"
         "[InternetShortcut.W]\r\nURL=http://+A6gDsSEVIScltg-/\r\n"},
    };
    for (const auto& f : files) WriteShortcut(root, f.rel, f.text);

    const auto [body, count] = Convert(root);
    EXPECT_EQ(count, 10);
    const std::string r = root.Path();
    const std::string anchor = [&] {
        std::string a = r;
        for (char& c : a) {
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return a + "___";  // the separator and one '_' for each of the two characters
    }();
    // Names outside the code page order by their text on the page, "&#...", before letters.
    EXPECT_EQ(body,
              CrlfLines({
                  "Sub-Folders in " + r + "<ul>",
                  "<li><A HREF=\"#" + anchor + "\">" + r + "\\&#20013;&#22269;</A>",
                  "<li><A HREF=\"#" + anchor + "_2\">" + r + "\\&#26085;&#26412;</A>",
                  "</ul>",
                  "<p>Shortcuts in " + r + ":",
                  "<ul>",
                  "<li><A HREF=\"http://deals/\">&#128293; Deals</A>", "",
                  "<li><A HREF=\"http://a-macron/\">&#256;</A>", "",
                  "<li><A HREF=\"http://portal/\">&#26412;&#31038;&#12509;&#12540;&#12479;"
                  "&#12523;&#12469;&#12452;&#12488;</A>", "",
                  "<li><A HREF=\"http://psi/\">&#936;&#945;&#8469;</A>", "",
                  "<li><A HREF=\"http://a/\">A</A>", "",
                  "<li><A HREF=\"http://%CE%A8%CE%B1%E2%84%95%E2%84%A7%E2%96%B6/\">address</A>",
                  "",
                  "<li><A HREF=\"http://plain/\">plain</A>", "",
                  // Code-page text stays code-page bytes: 0xE5 and 0xE4, as ever.
                  "<li><A HREF=\"http://rad/\">R\xe5" "d &amp; R\xe4tt</A>", "",
                  "</ul>",
                  "<A NAME=\"" + anchor + "\"></A><p>Shortcuts in " + r +
                      "\\&#20013;&#22269;:",
                  "<ul>",
                  "<li><A HREF=\"http://y/\">y</A>", "",
                  "</ul>",
                  "<A NAME=\"" + anchor + "_2\"></A><p>Shortcuts in " + r +
                      "\\&#26085;&#26412;:",
                  "<ul>",
                  "<li><A HREF=\"http://x/\">x</A>", "",
                  "</ul>",
                  "</body>",
                  "</html>",
              }));
    // The same page when the files are read ahead on threads, as from a cold disk.
    const auto [ahead, aheadCount] = Convert(root, ReadAheadMode::Always);
    EXPECT_EQ(ahead, body);
    EXPECT_EQ(aheadCount, count);
    // ... and every file came through the read-ahead.
    TempFolder out;
    auto file = TextFile::Open(out.Path("body.htm"), "wt");
    int32_t walkCount = 0;
    EXPECT_EQ(WriteFolder(walkCount, root.Path(), *file, ReadAheadMode::Always).filesReadAhead,
              std::size(files));
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(walkCount, count);
}

TEST(UnicodeNames, TreesWhoseNamesFitTheCodePageGiveTheBytesTheyAlwaysGave) {
    // Names made through the 8-bit calls, in code page 1252, as the program used to read them.
    TempFolder root;
    ASSERT_TRUE(CreateDirectoryA(root.Path("Caf\xe9").c_str(), nullptr));
    for (const char* name : {"Caf\xe9\\\xc6sop.url", "b.url", "\xc5ngstr\xf6m.url"}) {
        std::ofstream(root.Path(name), std::ios::binary) << Classic("http://q/?a=1&b=2");
    }
    const auto [body, count] = Convert(root);
    EXPECT_EQ(count, 3);
    const std::string r = root.Path();
    std::string anchor = r + "\\Caf\xe9";
    for (char& c : anchor) {
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    // Bytes 0x80-0xFF order before ASCII, as in every page before.
    EXPECT_EQ(body, CrlfLines({
                        "Sub-Folders in " + r + "<ul>",
                        "<li><A HREF=\"#" + anchor + "\">" + r + "\\Caf\xe9</A>",
                        "</ul>",
                        "<p>Shortcuts in " + r + ":",
                        "<ul>",
                        "<li><A HREF=\"http://q/?a=1&amp;b=2\">\xc5ngstr\xf6m</A>", "",
                        "<li><A HREF=\"http://q/?a=1&amp;b=2\">b</A>", "",
                        "</ul>",
                        "<A NAME=\"" + anchor + "\"></A><p>Shortcuts in " + r + "\\Caf\xe9:",
                        "<ul>",
                        "<li><A HREF=\"http://q/?a=1&amp;b=2\">\xc6sop</A>", "",
                        "</ul>",
                        "</body>",
                        "</html>",
                    }));
}

}  // namespace
}  // namespace favpage
