// tools/favpage_convert.cpp: favpage-convert, the conversion run on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"
#else
#include <csignal>
#include <unistd.h>
#endif

#include "engine/conversion_run.h"
#include "platform/interrupt.h"

namespace {

// Writes text in the platform's form (paths as the user gave them) to `stream`. On Windows a
// console shows it with its real characters; redirected, it is code-page text as other programs
// expect, with '?' for a character the code page cannot hold (never a look-alike).
void Print(std::FILE* stream, const std::string& text) {
#ifdef _WIN32
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = favpage::win32::Wide(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::string codePage;
    std::vector<favpage::Unfit> unfit;
    favpage::ToCodePage(text, codePage, unfit);
    for (auto u = unfit.rbegin(); u != unfit.rend(); ++u) codePage.insert(u->at, 1, '?');
    std::fputs(codePage.c_str(), stream);
#else
    std::fputs(text.c_str(), stream);
#endif
}

// The arguments in the platform's form. On Windows they are read from the wide command line:
// the 8-bit argv the C runtime makes holds best-fit look-alikes ("Ā" as "A", a fullwidth
// backslash as '\'), which would name other files.
std::vector<std::string> Arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back(favpage::win32::Narrow(wide[i], wcslen(wide[i])));
        LocalFree(wide);
    }
#else
    args.assign(argv + 1, argv + argc);
#endif
    return args;
}

// True when standard input is a terminal someone can answer on.
bool InputIsTerminal() {
#ifdef _WIN32
    // _isatty() also says yes for the NUL device; only a console has a console mode.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

constexpr const char* kUsage = "usage: favpage-convert [--yes] [--bookmarks] FOLDER OUTPUT";

enum ExitCode { kExitDone = 0, kExitFailed = 1, kExitUsage = 2, kExitDeclined = 3 };

// The run's texts that say it failed ("Unable to find directory", "Unable to open", "Unable to
// write") all begin so.
bool IsFailureText(const std::string& text) { return text.rfind("Unable to ", 0) == 0; }

// Status texts go to standard output, the failures among them to standard error, where a script
// that keeps the output shows the reason; the question is asked only on a terminal.
class TerminalHost : public favpage::ConversionHost {
public:
    explicit TerminalHost(bool assumeYes) : m_assumeYes(assumeYes) {}

    void ShowStatus(const std::string& text) override {
        std::FILE* stream = IsFailureText(text) ? stderr : stdout;
        Print(stream, text + '\n');
        std::fflush(stream);
    }

    bool ConfirmOverwrite() override {
        if (m_assumeYes) return true;
        if (!InputIsTerminal()) {
            std::fputs("favpage-convert: the output file exists; not overwritten (use --yes)\n",
                       stderr);
            return false;
        }
        std::fputs(favpage::kOverwriteQuestion, stdout);
        std::fputs(" [y/N] ", stdout);
        std::fflush(stdout);
        char answer[64];
        if (!std::fgets(answer, sizeof answer, stdin)) return false;
        std::string a = answer;
        while (!a.empty() && (a.back() == '\n' || a.back() == '\r' || a.back() == ' ')) a.pop_back();
        return a == "y" || a == "Y" || a == "yes" || a == "Yes" || a == "YES";
    }

    favpage::LocalTime ReadClock() override { return favpage::ReadLocalTime(); }

private:
    bool m_assumeYes;
};

void PrintHelp() {
    std::printf(
        "%s\n"
        "\n"
        "Writes one HTML page, \"Favorite Web Pages\", with a link for every Internet Shortcut\n"
        "in FOLDER and the folders below it, folder by folder, to OUTPUT.\n"
        "\n"
        "  -y, --yes        overwrite OUTPUT without asking\n"
        "      --bookmarks  write a bookmarks file instead of the page: the whole tree as one\n"
        "                   folder named after FOLDER, which browsers import with its folders\n"
        "                   (Firefox, Chrome, Edge: \"Import bookmarks from HTML file\")\n"
        "  -h, --help       show this help\n"
        "      --version    show the version\n"
        "\n"
        "Exit status: 0 done, 1 the folder or the page could not be used, 2 usage error,\n"
        "3 OUTPUT exists and was not overwritten (asked on a terminal, else needs --yes).\n",
        kUsage);
}

// On Windows "/?" asks for help, as it does of the system's own commands.
std::string Spelled(std::string arg) {
#ifdef _WIN32
    if (arg == "/?") return "--help";
#endif
    return arg;
}

int Usage(const std::string& problem) {
    Print(stderr, "favpage-convert: " + problem + "\n" + kUsage + "\n");
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    favpage::CleanUpWritesOnInterrupt();
#ifndef _WIN32
    // A file-size limit or a closed pipe must end in an error text, not kill the run midway.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
#endif
    bool assumeYes = false;
    favpage::OutputKind kind = favpage::OutputKind::Page;
    bool optionsEnded = false;
    std::vector<std::string> operands;
    for (const std::string& given : Arguments(argc, argv)) {
        const std::string arg = Spelled(given);
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "-y" || arg == "--yes") {
                assumeYes = true;
            } else if (arg == "--bookmarks") {
                kind = favpage::OutputKind::Bookmarks;
            } else if (arg == "-h" || arg == "--help") {
                PrintHelp();
                return kExitDone;
            } else if (arg == "--version") {
                std::printf("favpage-convert %s\n", FAVPAGE_VERSION);
                return kExitDone;
            } else {
                return Usage("unknown option '" + arg + "'");
            }
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2) return Usage("expected a FOLDER and an OUTPUT");

    TerminalHost host(assumeYes);
    int32_t shortcutCount = 0;
    switch (favpage::RunConversion(operands[0], operands[1], host, shortcutCount, kind)) {
        case favpage::ConversionResult::Done: return kExitDone;
        case favpage::ConversionResult::Declined: return kExitDeclined;
        default: return kExitFailed;
    }
}
