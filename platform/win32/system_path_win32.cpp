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
    // Already past the Win32 rules: \\?\, and the native \??\ that some tools hand over, which
    // names the same object and is taken as \\?\ (so every check of a path sees one form).
    if (StartsWith(given, L"\\??\\")) given[1] = L'\\';
    if (StartsWith(given, L"\\\\?\\")) return given;
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

namespace {

// True for a character that no Win32 name holds but a listing may still give: Wine lists the
// names of a folder made on Linux as they are. A name holding '\\' or '/' would be read as a
// path into another folder; the others make the system refuse the name (ERROR_INVALID_NAME).
// (':' is not among them: Wine opens such a name as itself.)
bool IsRefusedInName(wchar_t c) { return c < 0x20 || wcschr(L"\\/*?\"<>|", c) != nullptr; }

// The short (8.3) name that the listing of `folder` gives beside `name`, when it has one the
// system takes; empty otherwise.
std::wstring ListedShortName(const std::wstring& folder, const std::wstring& name) {
    WIN32_FIND_DATAW fd;
    const HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoStandard, &fd,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return {};
    std::wstring alias;
    do {
        if (name == fd.cFileName) {
            alias = fd.cAlternateFileName;
            break;
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    if (std::any_of(alias.begin(), alias.end(), IsRefusedInName)) alias.clear();
    return alias;
}

}  // namespace

void AppendSystemName(std::wstring& folder, std::string_view name) {
    bool ascii = true;
    bool refused = false;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        // UTF-8 holds an ASCII character only as itself, so the bytes tell both.
        if (b >= 0x80) {
            ascii = false;
        } else if (IsRefusedInName(static_cast<wchar_t>(b))) {
            refused = true;
        }
    }
    if (refused) {
        // Such a name is opened through its short name, or, without one, not at all: '?' is in
        // no name, so the path names nothing and every call on it fails.
        const std::wstring alias = ListedShortName(folder, Wide(name));
        folder += L'\\';
        folder += alias.empty() ? std::wstring(L"?") : alias;
        return;
    }
    folder += L'\\';
    // ASCII names, nearly all of them, widen byte by byte, without a string of their own.
    if (ascii) {
        folder.append(name.begin(), name.end());
    } else {
        folder += Wide(name);
    }
}

}  // namespace favpage::win32
