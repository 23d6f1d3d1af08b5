// tests/e2e/favpage/fixtures.cpp: registry, folder trees and page checks for the end-to-end tests.
#include <windows.h>

#include "tests/e2e/favpage/fixtures.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace e2e {

void ClearSettings() {
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_TRUE(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) << "cannot clear settings: " << rc;
}

void StoreSettings(const std::string& location, const std::string& output) {
    ClearSettings();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (auto [name, value] : {std::pair{"location", &location}, std::pair{"output", &output}}) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                       static_cast<DWORD>(value->size() + 1));
    }
    RegCloseKey(key);
}

std::optional<StoredValue> ReadSetting(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    char data[1024];
    DWORD size = sizeof data;
    LONG rc = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value.bytes.assign(data, size);
    return value;
}

std::string FavoritesFolder() {
    HKEY key;
    char data[MAX_PATH] = "";
    DWORD size = sizeof data;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, "Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                             &size) != ERROR_SUCCESS)
            data[0] = 0;
        RegCloseKey(key);
    }
    return data;
}

static void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

TestFolder::TestFolder(const std::string& name) : m_path("C:\\favpage-e2e\\" + name) {
    CreateDirectoryA("C:\\favpage-e2e", nullptr);
    RemoveTree(m_path);
    EXPECT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr)) << m_path;
}

void TestFolder::MakeFolder(const std::string& relative) const {
    EXPECT_TRUE(CreateDirectoryA((*this / relative).c_str(), nullptr)) << relative;
}

void TestFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
    std::ofstream file(*this / relative, std::ios::binary);
    file << bytes;
    EXPECT_TRUE(file.good()) << relative;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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
