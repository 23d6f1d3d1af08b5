// platform/win32/system_path_win32.cpp: the \\?\ form of the paths the program works with.
#include <windows.h>

#include <algorithm>

#include "platform/win32/system_path.h"
#include "text/utf16.h"

namespace favpage::win32 {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring SystemPath(std::string_view path) {
    std::wstring given = Wide(path);
    if (given.empty()) return {};
    // Already past the Win32 rules: \\?\ (and the native \??\ that some tools hand over).
    if (StartsWith(given, L"\\\\?\\") || StartsWith(given, L"\\??\\")) return given;
    // A drive letter alone is its root here: it is what the folder chooser returns for a root,
    // never meant as the drive's current folder.
    if (given.size() == 2 && given[1] == L':' && IsDriveLetter(given[0])) given += L'\\';
    const std::wstring full = FullPath(given);
    if (full.empty()) return {};
    if (full.size() >= 3 && IsDriveLetter(full[0]) && full[1] == L':' && IsSeparator(full[2])) {
        return L"\\\\?\\" + full;
    }
    // \\server\share\... ; a device path (\\.\COM1) is left as the system reads it.
    if (full.size() > 2 && IsSeparator(full[0]) && IsSeparator(full[1]) && full[2] != L'.' &&
        full[2] != L'?') {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return full;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0) return {};
    std::wstring full(need, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), need, &full[0], nullptr);
    if (length == 0 || length >= need) return {};
    full.resize(length);
    return full;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (!path.empty() && IsSeparator(path.back())) path.pop_back();
    return path;
}

void AppendSystemName(std::wstring& folder, std::string_view name) {
    folder += L'\\';
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // ASCII names, nearly all of them, widen byte by byte, without a string of their own.
    if (ascii) {
        folder.append(name.begin(), name.end());
    } else {
        folder += Wide(name);
    }
}

}  // namespace favpage::win32
