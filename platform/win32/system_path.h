// platform/win32/system_path.h: paths in the form the file system is asked for them on Windows.
#pragma once
#include <string>
#include <string_view>

namespace favpage::win32 {

// The \\?\ form of a path in the platform's form (UTF-8, platform/code_page.h) as the user gave
// it. It is first made full as the system would read it (a relative path, "." and ".."
// components, '/' separators; a bare drive "C:" means that drive's root), then marked so that no
// Win32 path rule applies to it any more: "\\?\C:\..." or "\\?\UNC\server\share\...". So every
// name below it is taken exactly as a folder lists it, and paths may pass 260 characters. A path
// already in the \\?\ form is taken as it is, and one in the native \??\ form, which names the
// same object, as its \\?\ form. Empty when there is no such path (empty text, or
// text the system cannot make full).
std::wstring SystemPath(std::string_view path);

// The full path of a path as the system reads it (GetFullPathNameW); empty when there is none.
std::wstring FullPath(const std::wstring& path);

// Appends a separator and `name` (platform form), exactly as its folder lists it, to the system
// path of that folder. A name that no Win32 name could be (one holding '\\', '/', a wildcard,
// '"', '<', '>', '|' or a control character, which Wine lists for a folder made on Linux) is
// joined as the short name the folder's listing gives beside it; without one, as a name that
// names nothing, so it is never read as another file.
void AppendSystemName(std::wstring& folder, std::string_view name);

// The system path without its trailing separators (a root keeps none either): the base that
// AppendSystemName joins names to.
std::wstring WithoutTrailingSeparators(std::wstring path);

}  // namespace favpage::win32
