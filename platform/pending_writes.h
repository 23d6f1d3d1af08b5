// platform/pending_writes.h: what an interrupt must undo of the pages being written
// (platform/interrupt.h), noted by the page's writer and kept where the interrupt can act on it.
#pragma once
#include <cstddef>
#ifndef _WIN32
#include <signal.h>
#endif

#include "platform/native_file.h"

namespace favpage::native {

// Holds the interrupt back while alive, so that a file is made, written in place, moved or put
// back together with the change of its record, as one step for it: on POSIX the signals are
// blocked; on Windows the console's control handler, which runs on a thread of its own, waits
// (and once it runs it never lets go: the process is ending).
class InterruptsHeld {
public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
#ifndef _WIN32
    sigset_t m_previous;
#endif
};

// Records the temporary file `name` (at most 63 characters) in the page's held folder, or a page
// written in place through `page` whose `size` old bytes at `old` (which must stay where they
// are) go back when `restorable`. Returns the record's number for Forget(), or -1 when all
// records are in use: an interrupt then leaves that write as it is. Call while interrupts are
// held.
int NoteTemporaryFile(const PagePlace& place, const SystemName& name);
int NotePageInPlace(FileHandle page, const char* old, size_t size, bool restorable);
// Drops a record (nothing for -1). Call while interrupts are held.
void Forget(int record);

// Puts every one of the `size` old bytes back at the page's start and gives it its old length
// again, whatever was written or cut meanwhile. Makes only the calls a signal handler may make.
inline bool PutBack(FileHandle page, const char* old, size_t size) {
    return SeekTo(page, 0) && WriteBytes(page, old, size) && Truncate(page, size);
}

}  // namespace favpage::native
