// tools/favpage_convert.cpp: favpage-convert, the conversion run on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#endif

#include "engine/conversion_run.h"
#include "platform/console.h"
#include "platform/interrupt.h"

namespace {

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
        favpage::WriteText(stream, text + '\n');
        std::fflush(stream);
    }

    bool ConfirmOverwrite() override {
        if (m_assumeYes) return true;
        if (!favpage::InputIsTerminal()) {
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
    favpage::WriteText(stderr, "favpage-convert: " + problem + "\n" + kUsage + "\n");
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
    for (const std::string& given : favpage::CommandLineArguments(argc, argv)) {
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
    // Files are read ahead on threads once they come slowly, as from a disk after a start-up.
    switch (favpage::RunConversion(operands[0], operands[1], host, shortcutCount, kind,
                                   favpage::ReadAheadMode::Auto)) {
        case favpage::ConversionResult::Done: return kExitDone;
        case favpage::ConversionResult::Declined: return kExitDeclined;
        default: return kExitFailed;
    }
}
