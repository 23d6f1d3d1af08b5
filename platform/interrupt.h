// platform/interrupt.h: an interrupted run leaves nothing behind.
#pragma once

namespace favpage {

// From this call on, an interrupt of the process (POSIX: SIGINT, as Ctrl+C sends, SIGTERM and
// SIGHUP; Windows: Ctrl+C, Ctrl+Break and closing the console) first removes the temporary file
// of every page being replaced and puts back the old bytes of every page being written in
// place, then ends the process as the interrupt would have (on POSIX by the signal itself, so a
// shell sees 130, 143 or 129). A signal ignored when this is called stays ignored (nohup, a
// background job). For a console program: call once, at the start of main().
void CleanUpWritesOnInterrupt();

}  // namespace favpage
