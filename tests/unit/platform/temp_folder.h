// tests/unit/platform/temp_folder.h: a scratch folder for tests that need real files.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "platform/dir_search.h"

namespace favpage::testing {

// Creates a fresh folder under the system's temporary folder and removes it again. Paths handed
// to the code under test use the program's separator; files are made through std::filesystem.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            m_root = base / ("favpage-test-" + std::to_string(rd()));
            if (std::filesystem::create_directory(m_root)) break;
        }
    }
    ~TempFolder() {
        std::error_code ec;
        // Make everything writable again so the removal cannot be refused.
        for (auto it = std::filesystem::recursive_directory_iterator(
                 m_root, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(m_root, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder as the program writes paths.
    std::string Path() const { return m_root.string(); }
    // `rel` ('/' separated) below the folder, joined with the program's separator.
    std::string Path(const std::string& rel) const {
        std::string r = rel;
        for (char& c : r) {
            if (c == '/') c = kPathSeparator;
        }
        return Path() + kPathSeparator + r;
    }
    // `rel` ('/' separated) as a native file-system path.
    std::filesystem::path Native(const std::string& rel) const { return m_root / rel; }

    void MakeFolder(const std::string& rel) const {
        std::filesystem::create_directories(Native(rel));
    }
    void WriteFile(const std::string& rel, const std::string& bytes) const {
        std::filesystem::create_directories(Native(rel).parent_path());
        std::ofstream f(Native(rel), std::ios::binary | std::ios::trunc);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(f.good()) << rel;
    }
    std::string ReadFile(const std::string& rel) const { return ReadNative(Native(rel)); }

    // How many entries the folder holds: a run must leave no temporary file behind.
    size_t EntryCount() const {
        size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(m_root);
             it != std::filesystem::directory_iterator(); ++it) {
            ++n;
        }
        return n;
    }

    static std::string ReadNative(const std::filesystem::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_root;
};

}  // namespace favpage::testing
