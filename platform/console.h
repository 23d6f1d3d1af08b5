// platform/console.h: the command line and the terminal of a console program.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace favpage {

// The program's arguments (without its own name) in the platform's form. On Windows they come
// from the wide command line: the 8-bit argv the C runtime makes holds best-fit look-alikes
// ("Ā" as "A", a fullwidth backslash as '\'), which would name other files.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes text in the platform's form to `stream` (stdout or stderr). On Windows a console shows
// it with its real characters; redirected, it is code-page text as other programs expect, with
// '?' for a character the code page cannot hold (never a look-alike).
void WriteText(std::FILE* stream, const std::string& text);

// True when standard input is a terminal someone can answer on.
bool InputIsTerminal();

}  // namespace favpage
