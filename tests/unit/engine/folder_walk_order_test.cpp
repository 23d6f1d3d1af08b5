// Tests that a folder's shortcut section does not depend on the order in which the walk reads
// the files: big folders whose listing order is not the name order, names equal but for letter
// case, and a folder whose links pass the walk's memory limit; each with the files read by the
// walk itself and with the whole tree read ahead on threads.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <vector>

#include "engine/html_text.h"
#include "engine/shortcut_reader.h"
#include "engine/sorted_name_list.h"
#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::Crlf;
using testing::TempFolder;

class FolderWalkOrderTest : public testing::BothReadsTest {};
FAVPAGE_BOTH_READS(FolderWalkOrderTest);

// The entry names a folder's listing delivers, in its order.
std::vector<std::string> ListingOrder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    EXPECT_NE(d, nullptr);
    if (!d) return names;
    while (const dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    return names;
}

// The page of a folder without sub-folders: one link per shortcut (`targets` maps its name to
// its target) in name order, names that compare equal in the reverse of the listing's order.
std::string ExpectedPage(const std::string& folder, const std::vector<std::string>& listing,
                         const std::map<std::string, std::string>& targets) {
    std::vector<std::string> names(listing.rbegin(), listing.rend());
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareNames(a, b) < 0;
    });
    std::string page = "<p>Shortcuts in " + Escaped(folder) + ":\n<ul>\n";
    for (const std::string& name : names) {
        const auto it = targets.find(name);
        if (it == targets.end()) continue;
        page += "<li><A HREF=\"";
        AppendPageAddress(page, it->second);
        page += "\">" + PageText(LinkText(name)) + "</A>\n\n";
    }
    return Crlf(page + "</ul>\n");
}

unsigned NextRandom(unsigned& seed) {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
}

TEST_P(FolderWalkOrderTest, BigFolderComesOutInNameOrderWithCaseTwinsNewestFirst) {
    TempFolder t;
    const char* const words[] = {"News", "mail", "Bank", "R&D", "zoo", "\xC4pfel", "a_b", "<x>"};
    std::map<std::string, std::string> targets;
    unsigned seed = 4242;
    for (int i = 0; i < 600; ++i) {
        std::string name = std::string(words[NextRandom(seed) % 8]) + " " +
                           std::to_string(NextRandom(seed) % 400) + ".url";
        if (targets.count(name)) continue;
        const std::string url =
            "http://example.com/?p=" + std::to_string(i) + "&q=\"" + name + "\"";
        const unsigned kind = NextRandom(seed) % 10;
        if (kind == 0) {
            t.WriteFile("f/" + name, "not a shortcut\r\n");
            continue;
        }
        t.WriteFile("f/" + name, kind % 2 ? ClassicShortcut(url)
                                          : "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=" +
                                                url + "\r\nIDList=\r\n");
        targets[name] = url;
        if (kind == 1) {
            // A twin that differs only in letter case compares equal to it.
            std::string twin = name;
            for (char& c : twin) {
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
            }
            if (twin != name && !targets.count(twin)) {
                t.WriteFile("f/" + twin, ClassicShortcut(url + "-twin"));
                targets[twin] = url + "-twin";
            }
        }
    }
    const std::vector<std::string> listing = ListingOrder(t.Native("f"));
    std::vector<std::string> byName = listing;
    std::stable_sort(byName.begin(), byName.end(), [](const std::string& a, const std::string& b) {
        return CompareNames(a, b) < 0;
    });
    ASSERT_NE(listing, byName) << "the listing must not already be in name order";

    int32_t count = 0;
    EXPECT_EQ(Walk(t.Path("f"), count), ExpectedPage(t.Path("f"), listing, targets));
    EXPECT_EQ(count, static_cast<int32_t>(targets.size()));
}

TEST_P(FolderWalkOrderTest, LinksPastTheMemoryLimitAreReadInTheirTurn) {
    TempFolder t;
    // Each big shortcut's link escapes to about 300,000 bytes, so the folder's links pass the
    // limit part-way through the listing; small shortcuts and vanished files are mixed in.
    const size_t bigLength = 60000;
    const size_t bigCount = kLinkMemoryLimit / (5 * bigLength) + 8;
    std::map<std::string, std::string> targets;
    unsigned seed = 77;
    for (size_t i = 0; i < 2 * bigCount; ++i) {
        const std::string name = "s" + std::to_string(NextRandom(seed) % 100000) + "-" +
                                 std::to_string(i) + (i % 3 ? ".url" : ".URL");
        std::string url = "http://example.com/" + std::to_string(i);
        if (i % 2) url += std::string(bigLength, '&');
        t.WriteFile("f/" + name, ClassicShortcut(url));
        targets[name] = url;
        if (i % 16 == 0) {
            const std::string gone = "gone" + std::to_string(i) + ".url";
            ASSERT_EQ(symlink("nowhere", t.Native("f/" + gone).c_str()), 0);
        }
    }
    const std::vector<std::string> listing = ListingOrder(t.Native("f"));
    int32_t count = 0;
    const std::string page = Walk(t.Path("f"), count);
    EXPECT_TRUE(page == ExpectedPage(t.Path("f"), listing, targets))
        << "the page differs from the links in name order (" << page.size() << " bytes)";
    EXPECT_EQ(count, static_cast<int32_t>(targets.size()));
}

}  // namespace
}  // namespace favpage
