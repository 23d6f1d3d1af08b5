// text/path.h: path names as text: separators, the last name of a path, its folder, and joining.
// Nothing here asks the file system.
#pragma once
#include <string>
#include <string_view>

namespace favpage {

// The separator between a folder and a name in every path the program builds: '\' on Windows,
// '/' on POSIX, where '\' is an ordinary character of a name.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for a character that separates folders in a path: kPathSeparator, and on Windows '/' too.
constexpr bool IsPathSeparator(char c) {
    return c == kPathSeparator || (kPathSeparator == '\\' && c == '/');
}

// The last name of a path, its trailing separators aside ("b" of "/a/b/"); empty when the path
// has none ("/", or ""). A drive is no separator: it stays with what follows it ("C:" of "C:\",
// "C:b" of "C:b").
std::string_view LastName(std::string_view path);

// The folder that holds the last name of a path: the path before that name, without the
// separators between them ("/a" of "/a/b" and of "/a/b/", "/" of "/b", "C:\" of "C:\b", "C:"
// of "C:b"), or "." when the path is a name alone. A root keeps its separator.
std::string FolderOf(std::string_view path);

// The path of entry `name` of `folder`: the folder as given, its trailing separators aside (a
// drive root "C:\" or "/" included), then one separator and the name. Nothing else of the path
// is changed.
std::string JoinPath(std::string_view folder, std::string_view name);

// The path a user meant by `given`: on Windows without one pair of double quotes around the whole
// of it, as Explorer's "Copy as path" and quoting scripts hand paths over (no Windows name holds
// '"'). On POSIX, where a name may hold '"', the path as it is.
std::string_view PathAsMeant(std::string_view given);

}  // namespace favpage
