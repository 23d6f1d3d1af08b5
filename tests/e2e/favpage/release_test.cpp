// tests/e2e/favpage/release_test.cpp: what the built programs carry for Windows (their version
// resources and the program's manifest), and the release archive's program, unpacked on its own.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/favpage/driver.h"
#include "tests/e2e/favpage/fixtures.h"

namespace e2e {
namespace {

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ProjectVersion() {
    return std::to_string(FAVPAGE_VERSION_MAJOR) + "." + std::to_string(FAVPAGE_VERSION_MINOR) +
           "." + std::to_string(FAVPAGE_VERSION_PATCH);
}

struct Program {
    const char* path;
    const char* fileName;
};

void PrintTo(const Program& p, std::ostream* os) { *os << p.fileName; }

class VersionResource : public ::testing::TestWithParam<Program> {};

TEST_P(VersionResource, NamesTheProductAndCarriesTheProjectVersion) {
    const std::string exe = WindowsPath(GetParam().path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << exe << " has no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(FAVPAGE_VERSION_MINOR, FAVPAGE_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, FAVPAGE_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    // The strings, in the language and code page the translation table names.
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    char block[64];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    const auto value = [&](const char* name) {
        char* text = nullptr;
        UINT chars = 0;
        const std::string query = block + std::string(name);
        if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars) ||
            !text)
            return std::string("<missing>");
        return std::string(text);
    };
    EXPECT_EQ(value("ProductName"), "favpage");
    EXPECT_EQ(value("ProductVersion"), ProjectVersion());
    EXPECT_EQ(value("FileVersion"), ProjectVersion());
    EXPECT_EQ(value("OriginalFilename"), GetParam().fileName);
    const std::string name = GetParam().fileName;
    const std::string stem = name.substr(0, name.find('.'));
    EXPECT_EQ(value("InternalName"), stem);
    EXPECT_EQ(value("FileDescription").rfind(stem + " - ", 0), 0u) << value("FileDescription");
    EXPECT_NE(value("LegalCopyright").find("Vandrell"), std::string::npos)
        << value("LegalCopyright");
}

INSTANTIATE_TEST_SUITE_P(Release, VersionResource,
                         ::testing::Values(Program{FAVPAGE_EXE, "favpage.exe"},
                                           Program{FAVPAGE_CONVERT_EXE, "favpage-convert.exe"}),
                         [](const ::testing::TestParamInfo<Program>& info) {
                             return std::string(info.index == 0 ? "Program" : "Converter");
                         });

TEST(Manifest, AsksForNoElevationNamesWindows7To11DeclaresDpiAndLongPathsAndKeepsClassicControls) {
    const std::string exe = FavpageExe();
    HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(image) << "cannot open " << exe;
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found) << "no manifest (resource 1 of type 24)";
    const std::string text(static_cast<const char*>(LockResource(LoadResource(image, found))),
                           SizeofResource(image, found));
    FreeLibrary(image);

    // The text without blanks, so that a check does not depend on how it is laid out.
    std::string packed;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') packed += c;
    const char* const kDeclared[] = {
        "<requestedExecutionLevellevel=\"asInvoker\"",
        "<supportedOSId=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",   // Windows 7
        "<supportedOSId=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",   // Windows 8
        "<supportedOSId=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",   // Windows 8.1
        "<supportedOSId=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",   // Windows 10 and 11
        "<dpiAwarexmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
        "<longPathAwarexmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"
        "</longPathAware>",
    };
    for (const char* declared : kDeclared)
        EXPECT_NE(packed.find(declared), std::string::npos) << "lacks " << declared;
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos) << "opts into themed controls";
    EXPECT_EQ(text.find("dpiAwareness"), std::string::npos) << "per-monitor awareness";

    // The system reads it as a whole: an activation context can be made from it.
    ACTCTXA context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = exe.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE made = CreateActCtxA(&context);
    EXPECT_NE(made, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (made != INVALID_HANDLE_VALUE) ReleaseActCtx(made);
}

// Registered with the archive fixture, which writes the release archive from this build tree
// and unpacks it; FAVPAGE_UNPACKED_DIR is the archive's one folder: the program runs from there
// with nothing beside it but the archive's files.
TEST(ReleaseArchive, UnpackedProgramStartsAndClosesWithItsHelpBesideIt) {
    const char* unpacked = std::getenv("FAVPAGE_UNPACKED_DIR");
    ASSERT_TRUE(unpacked) << "run through ctest: the archive fixture sets FAVPAGE_UNPACKED_DIR";
    const std::string folder = WindowsPath(unpacked);
    EXPECT_TRUE(Exists(folder + "\\favpage.hlp"));
    ClearSettings();
    Favpage::Options options;
    options.exe = folder + "\\favpage.exe";
    options.workingDir = folder;
    Favpage app(options);
    EXPECT_EQ(TextOf(app.Frame()), "favpage - Document");
    EXPECT_EQ(app.FieldText(102), FavoritesFolder());
    app.Press(2);
    EXPECT_EQ(app.WaitForExit(), 0);
}

}  // namespace
}  // namespace e2e
