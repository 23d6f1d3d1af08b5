// tests/unit/platform/dir_search_test_support.h: collecting what a directory search delivers.
#pragma once
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/dir_search.h"

namespace favpage::testing {

// Every name a search delivers; fails the test when a name comes twice or the search does not
// stay exhausted.
inline std::set<std::string> Names(const std::string& pattern, uint32_t mask,
                                   Detail detail = Detail::Full) {
    std::set<std::string> names;
    DirSearch s;
    for (auto e = s.FindFirst(pattern, mask, detail); e; e = s.FindNext()) {
        EXPECT_TRUE(names.insert(e->name).second) << "delivered twice: " << e->name;
    }
    EXPECT_FALSE(s.FindNext()) << "an exhausted search stays exhausted";
    return names;
}

}  // namespace favpage::testing
