// text/path.cpp: path names as text.
#include "text/path.h"

namespace favpage {

namespace {

// Where the last name of `path` begins, when it ends at `end`.
size_t NameStart(std::string_view path, size_t end) {
    size_t start = end;
    while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
    return start;
}

// The length of the root a path begins with, which no separator is ever taken from: "/" or
// "\"; on Windows a drive ("C:") with its separator when it has one.
size_t RootLength(std::string_view path) {
    size_t root = 0;
    if (kPathSeparator == '\\' && path.size() >= 2 && path[1] == ':') root = 2;
    if (root < path.size() && IsPathSeparator(path[root])) ++root;
    return root;
}

}  // namespace

std::string_view LastName(std::string_view path) {
    size_t end = path.size();
    while (end > 0 && IsPathSeparator(path[end - 1])) --end;
    const size_t start = NameStart(path, end);
    return path.substr(start, end - start);
}

std::string FolderOf(std::string_view path) {
    const size_t root = RootLength(path);
    size_t end = path.size();
    while (end > root && IsPathSeparator(path[end - 1])) --end;
    end = NameStart(path, end);
    if (end < root) end = root;  // "C:b": the drive's folder
    while (end > root && IsPathSeparator(path[end - 1])) --end;
    if (end == 0) return ".";
    return std::string(path.substr(0, end));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    size_t end = folder.size();
    while (end > 0 && IsPathSeparator(folder[end - 1])) --end;
    std::string path;
    path.reserve(end + 1 + name.size());
    path.append(folder.data(), end);
    path += kPathSeparator;
    path.append(name.data(), name.size());
    return path;
}

std::string_view PathAsMeant(std::string_view given) {
    if (kPathSeparator == '\\' && given.size() >= 2 && given.front() == '"' && given.back() == '"') {
        given = given.substr(1, given.size() - 2);
    }
    return given;
}

}  // namespace favpage
