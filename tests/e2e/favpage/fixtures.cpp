// tests/e2e/favpage/fixtures.cpp: registry, folder trees and page checks for the end-to-end tests.
#include <windows.h>

#include "tests/e2e/favpage/fixtures.h"

#include "tests/e2e/favpage/driver.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace e2e {

void ClearSettings() {
    LONG rc = RegDeleteKeyW(HKEY_CURRENT_USER, Wide(kSettingsKey).c_str());
    ASSERT_TRUE(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) << "cannot clear settings: " << rc;
}

void StoreSettings(const std::string& location, const std::string& output) {
    ClearSettings();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kSettingsKey).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (auto [name, value] : {std::pair{L"location", &location}, std::pair{L"output", &output}}) {
        const std::wstring text = Wide(*value);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

std::optional<StoredValue> ReadSetting(const char* name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kSettingsKey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    wchar_t data[1024];
    DWORD size = sizeof data;
    LONG rc = RegQueryValueExW(key, Wide(name).c_str(), nullptr, &value.type,
                               reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value.text = Utf8(std::wstring(data, size / sizeof(wchar_t)));
    return value;
}

namespace {
constexpr wchar_t kShellFolders[] =
    L"software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
}  // namespace

std::string FavoritesFolder() {
    HKEY key;
    wchar_t data[MAX_PATH] = L"";
    DWORD size = sizeof data - sizeof data[0];
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExW(key, L"Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                             &size) != ERROR_SUCCESS)
            data[0] = 0;
        RegCloseKey(key);
    }
    return Utf8(data);
}

void SetFavoritesFolder(const std::string& path) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const std::wstring text = Wide(path);
    RegSetValueExW(key, L"Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

static void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

TestFolder::TestFolder(const std::string& name) : m_path("C:\\favpage-e2e\\" + name) {
    CreateDirectoryW(L"C:\\favpage-e2e", nullptr);
    RemoveTree(Wide(m_path));
    EXPECT_TRUE(CreateDirectoryW(Wide(m_path).c_str(), nullptr)) << m_path;
}

void TestFolder::MakeFolder(const std::string& relative) const {
    EXPECT_TRUE(CreateDirectoryW(Wide(*this / relative).c_str(), nullptr)) << relative;
}

void TestFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
    HANDLE file = CreateFileW(Wide(*this / relative).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE &&
                ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                written == bytes.size())
        << relative;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char block[65536];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

::testing::AssertionResult PageIs(const std::string& bytes, const std::string& folder,
                                  const std::string& body) {
    const std::string head =
        "<html>\r\n<head>\r\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\r\n"
        "<TITLE>Favorite Web Pages</TITLE>\r\n</head>\r\n<body>\r\n"
        "<!--HTML file created by FAVPAGE-->\r\n";
    if (bytes.compare(0, head.size(), head) != 0)
        return ::testing::AssertionFailure() << "head differs:\n" << bytes.substr(0, 300);
    size_t at = head.size();
    // Two more comment lines of free wording, no markup inside.
    static const std::regex kComment("<!--[^<>]*-->\r\n");
    for (int i = 0; i < 2; ++i) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos ||
            !std::regex_match(bytes.substr(at, end + 2 - at), kComment))
            return ::testing::AssertionFailure() << "comment line " << i + 2 << " is not a comment";
        at = end + 2;
    }
    const std::string intro =
        "<h1>Favorite Web Pages</h1>\r\n<p>Shortcuts converted to HTML Links are from: <br>\r\n" +
        folder + "<br>On ";
    if (bytes.compare(at, intro.size(), intro) != 0)
        return ::testing::AssertionFailure() << "intro differs:\n" << bytes.substr(at, 300);
    at += intro.size();
    static const std::regex kDate(
        "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\r\n</p>");
    if (bytes.size() < at + 30 || !std::regex_match(bytes.substr(at, 30), kDate))
        return ::testing::AssertionFailure() << "date line differs: " << bytes.substr(at, 30);
    at += 30;
    const std::string rest = body + "</body>\r\n</html>\r\n";
    if (bytes.substr(at) != rest)
        return ::testing::AssertionFailure() << "body differs. Expected:\n"
                                             << rest << "\nActual:\n"
                                             << bytes.substr(at);
    return ::testing::AssertionSuccess();
}

}  // namespace e2e
