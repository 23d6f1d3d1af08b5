// framework/help.h: the help layer: plain-text help files shown in a small read-only viewer.
#pragma once
#include <windows.h>

#include <string>

// Where help file `name` is found: beside the program, then in the current folder; a name with a
// folder part is taken as it is. Empty when there is no such file.
std::wstring FindHelpFile(const wchar_t* name);

// Answers a help request like the system's help call. HELP_CONTENTS and HELP_FINDER show the
// whole file in the viewer, owned by `owner`'s top-level window, and answer 1; they answer 0 when
// the file cannot be found or read. HELP_QUIT closes the viewer and answers 1. Other commands
// answer 0.
int HelpRequest(HWND owner, const wchar_t* helpFile, UINT command, ULONG_PTR data);

// The viewer's window, while it is open (tests and the program's own closing use it).
HWND HelpViewerWindow();
