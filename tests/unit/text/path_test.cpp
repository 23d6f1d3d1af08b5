// Tests of path names as text: the last name, its folder and joining, on this platform's paths.
#include <gtest/gtest.h>

#include <string>

#include "text/path.h"

namespace favpage {
namespace {

TEST(PathTest, LastNameFolderOfAndJoinPathTakeThePlatformsSeparators) {
    const struct {
        const char* path;
        const char* lastName;
        const char* folder;
        const char* joinedTo;  // JoinPath(path, "n") is this, the separator and "n"
    } rows[] = {
        {"/a/b", "b", "/a", "/a/b"},
        {"/a/b//", "b", "/a", "/a/b"},
        {"/a//b", "b", "/a", "/a//b"},
        {"/b", "b", "/", "/b"},
        {"/", "", "/", ""},
        {"b", "b", ".", "b"},
        {"", "", ".", ""},
#ifdef _WIN32
        {"C:\\Fav\\Cars", "Cars", "C:\\Fav", "C:\\Fav\\Cars"},
        {"C:/Fav\\Cars/", "Cars", "C:/Fav", "C:/Fav\\Cars"},
        {"C:\\Cars", "Cars", "C:\\", "C:\\Cars"},
        {"C:\\", "C:", "C:\\", "C:"},  // a drive is no separator
        {"C:Cars", "C:Cars", "C:", "C:Cars"},  // relative to drive C's current folder
        {"\\\\server\\share\\x", "x", "\\\\server\\share", "\\\\server\\share\\x"},
#else
        // '\\' is an ordinary character of a POSIX name.
        {"/a\\b", "a\\b", "/", "/a\\b"},
        {"C:\\Fav", "C:\\Fav", ".", "C:\\Fav"},
#endif
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(LastName(r.path), std::string(r.lastName));
        EXPECT_EQ(FolderOf(r.path), r.folder);
        EXPECT_EQ(JoinPath(r.path, "n"), r.joinedTo + std::string(1, kPathSeparator) + "n");
    }
}

}  // namespace
}  // namespace favpage
