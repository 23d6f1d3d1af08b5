// app/entry.h: the program's entry, kept apart from WinMain so that tests can run it.
#pragma once
#include <windows.h>

#include <functional>

// Runs `body` and returns what it returns. A message exception (xmsg and its kind) that escapes
// is shown in a box captioned "Exception", with no owner, an OK button and no icon, and the
// result is -1.
int RunReportingMessageExceptions(const std::function<int()>& body);

// Constructs the application object, runs it and destroys it; the result is the exit code:
// 0 after the main window closed, -1 after an exception box.
int FavpageMain(HINSTANCE instance, int cmdShow);
