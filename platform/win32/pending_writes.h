// platform/win32/pending_writes.h: what an interrupt must undo of the pages being written, kept
// for the console's control handler (platform/interrupt.h), which runs on a thread of its own.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace favpage::win32 {

// Keeps the control handler waiting while alive: every write to a file being replaced or
// written in place, and every step that makes, moves or restores one together with its record,
// happens under it. Once the handler has it, it never lets go: the process is ending.
class PendingWritesLock {
public:
    PendingWritesLock();
    ~PendingWritesLock();
    PendingWritesLock(const PendingWritesLock&) = delete;
    PendingWritesLock& operator=(const PendingWritesLock&) = delete;
};

// Records the temporary file at `path` (its system form), or a page written in place through
// `page` whose `size` old bytes at `old` (which must stay where they are) go back when
// `restorable`. Returns the record's number for Forget(), or -1 when all are in use: an
// interrupt then leaves that write as it is. Call under the lock.
int NoteTemporaryFile(const std::wstring& path);
int NotePageInPlace(HANDLE page, const char* old, size_t size, bool restorable);
// Drops a record (nothing for -1). Call under the lock.
void Forget(int record);

// Writes the `size` old bytes back over the page's start, where `written` bytes of new text went
// (all of them when `written` is negative, unknown), and cuts the page to its old length.
bool PutBack(HANDLE page, const char* old, size_t size, int64_t written);

}  // namespace favpage::win32
