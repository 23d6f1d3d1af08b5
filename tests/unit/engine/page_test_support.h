// tests/unit/engine/page_test_support.h: helpers to run the walk into a page and compare bytes.
#pragma once
#include <string>

#include "engine/folder_walk.h"
#include "platform/text_file.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage::testing {

// The bytes a text becomes on disk: every LF stored as CR LF.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Runs WriteFolder on `folder` into a fresh file and returns the bytes written.
inline std::string WalkToBytes(const std::string& folder, int32_t& count) {
    TempFolder out;
    auto page = TextFile::Open(out.Path("page.htm"), "wt");
    EXPECT_TRUE(page);
    if (!page) return {};
    WriteFolder(count, folder, *page);
    EXPECT_TRUE(page->Close());
    return out.ReadFile("page.htm");
}

// A classic two-line shortcut file.
inline std::string ClassicShortcut(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

}  // namespace favpage::testing
