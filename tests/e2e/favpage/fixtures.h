// tests/e2e/favpage/fixtures.h: registry, folder trees and page checks for the end-to-end tests.
#pragma once
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace e2e {

// The program's settings key below HKEY_CURRENT_USER.
constexpr const char* kSettingsKey = "software\\vandrell\\favpage";

void ClearSettings();
void StoreSettings(const std::string& location, const std::string& output);

struct StoredValue {
    DWORD type = 0;
    std::string text;  // the stored UTF-16 as UTF-8, the terminating zero included
};
std::optional<StoredValue> ReadSetting(const char* name);

// The user's Favorites folder as the shell records it, and setting it (paths and names in UTF-8).
std::string FavoritesFolder();
void SetFavoritesFolder(const std::string& path);

// A folder of its own for one test, C:\favpage-e2e\<name>, emptied when the test starts.
// Fixed paths keep the expected pages readable: anchors are written out in full in the tests.
class TestFolder {
public:
    explicit TestFolder(const std::string& name);
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + "\\" + relative; }
    void MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::string& bytes) const;

private:
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
bool Exists(const std::string& path);

// Checks a page byte for byte: the fixed head (declaring windows-1252, the code page the tests
// run in; its two free comment lines only by form, the date only by shape), the folder, the
// body and the tail.
::testing::AssertionResult PageIs(const std::string& bytes, const std::string& folder,
                                  const std::string& body);

}  // namespace e2e
