// platform/posix/pending_writes.h: what an interrupt must undo of the pages being written, kept
// where a signal handler can act on it (platform/interrupt.h).
#pragma once
#include <csignal>
#include <cstddef>
#include <sys/types.h>

namespace favpage::posix {

// Holds the interrupts back while alive, so that a file is made or moved and its record changed
// as one step for the signal handler.
class InterruptsHeld {
public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    sigset_t m_previous;
};

// Records the temporary file `name` (at most 63 bytes) in the open folder `folder`, or a page
// written in place through `page` whose old bytes (`size` of them at `old`, which must stay where
// they are) go back when `restorable`. Returns the record's number for Forget(), or -1 when all
// records are in use: an interrupt then leaves that write as it is. Call while interrupts are held.
int NoteTemporaryFile(int folder, const char* name);
int NotePageInPlace(int page, const char* old, size_t size, bool restorable);
// Drops a record (nothing for -1). Call while interrupts are held.
void Forget(int record);

// Writes the `size` old bytes back over the page's start, where `written` bytes of new text went
// (all of them when `written` is negative, unknown), and cuts the page to its old length. Makes
// only the calls a signal handler may make.
bool PutBack(int page, const char* old, size_t size, off_t written);

}  // namespace favpage::posix
