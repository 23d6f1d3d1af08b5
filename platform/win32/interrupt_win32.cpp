// platform/win32/interrupt_win32.cpp: Ctrl+C, Ctrl+Break and closing the console undo the
// pending writes, then the process ends as it would have.
#include <windows.h>

#include <string>

#include "platform/interrupt.h"
#include "platform/pending_writes_table.h"

namespace favpage {

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;

// One write in progress (platform/pending_writes_table.h).
struct Pending {
    bool used = false;
    std::wstring temporary;  // the temporary file's \\?\ path, or empty
    native::FileHandle page = native::kNoFile;  // the page written in place
    const char* old = nullptr;
    size_t size = 0;
    bool restorable = false;
};
PendingWritesTable<Pending> g_pending;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT &&
        event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) {
        return FALSE;
    }
    // Kept to the end: a write under way finishes first, and none starts after this.
    AcquireSRWLockExclusive(&g_lock);
    g_pending.UndoAll([](const Pending& p) {
        // The writer still holds it open (shared for deletion): it goes when the process ends.
        if (!p.temporary.empty()) DeleteFileW(p.temporary.c_str());
    });
    return FALSE;  // on to the system's own handler, which ends the process
}

}  // namespace

namespace native {

InterruptsHeld::InterruptsHeld() { AcquireSRWLockExclusive(&g_lock); }
InterruptsHeld::~InterruptsHeld() { ReleaseSRWLockExclusive(&g_lock); }

int NoteTemporaryFile(const PagePlace& place, const SystemName& name) {
    const int record = g_pending.Claim();
    if (record >= 0) g_pending[record].temporary = place.folderPath + L"\\" + name;
    return record;
}

int NotePageInPlace(FileHandle page, const char* old, size_t size, bool restorable) {
    return g_pending.NotePageInPlace(page, old, size, restorable);
}

void Forget(int record) { g_pending.Forget(record); }

}  // namespace native

void CleanUpWritesOnInterrupt() { SetConsoleCtrlHandler(OnControl, TRUE); }

}  // namespace favpage
