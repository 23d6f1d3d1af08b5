// platform/win32/console_win32.cpp: the wide command line, and text a console shows as it is.
#include <windows.h>
#include <shellapi.h>

#include "platform/code_page.h"
#include "platform/console.h"
#include "text/utf16.h"

namespace favpage {

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i], wcslen(wide[i])));
        LocalFree(wide);
    }
    return args;
}

void WriteText(std::FILE* stream, const std::string& text) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = Wide(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fputs(CodePageTextOrQuestionMarks(text).c_str(), stream);
}

// _isatty() also says yes for the NUL device; only a console has a console mode.
bool InputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace favpage
