// platform/posix/console_posix.cpp: arguments and terminal text are bytes, as they are.
#include <unistd.h>

#include "platform/console.h"

namespace favpage {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void WriteText(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

bool InputIsTerminal() { return isatty(STDIN_FILENO) != 0; }

}  // namespace favpage
