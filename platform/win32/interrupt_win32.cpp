// platform/win32/interrupt_win32.cpp: Ctrl+C, Ctrl+Break and closing the console undo the
// pending writes, then the process ends as it would have.
#include "platform/interrupt.h"
#include "platform/pending_writes_table.h"
#include "platform/win32/pending_writes.h"

namespace favpage {

namespace win32 {

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;

struct Pending {
    bool used = false;
    std::wstring temporary;  // the temporary file, or empty for a page written in place
    HANDLE page = INVALID_HANDLE_VALUE;
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
    for (Pending& p : g_pending) {
        if (!p.used) continue;
        // The writer still holds it open (shared for deletion): it goes when the process ends.
        if (!p.temporary.empty()) DeleteFileW(p.temporary.c_str());
        if (p.page != INVALID_HANDLE_VALUE && p.restorable) {
            LARGE_INTEGER at{};
            const int64_t written =
                SetFilePointerEx(p.page, LARGE_INTEGER{}, &at, FILE_CURRENT) ? at.QuadPart : -1;
            PutBack(p.page, p.old, p.size, written);
            FlushFileBuffers(p.page);
        }
    }
    return FALSE;  // on to the system's own handler, which ends the process
}

}  // namespace

PendingWritesLock::PendingWritesLock() { AcquireSRWLockExclusive(&g_lock); }
PendingWritesLock::~PendingWritesLock() { ReleaseSRWLockExclusive(&g_lock); }

int NoteTemporaryFile(const std::wstring& path) {
    const int record = g_pending.Claim();
    if (record >= 0) g_pending[record].temporary = path;
    return record;
}

int NotePageInPlace(HANDLE page, const char* old, size_t size, bool restorable) {
    return g_pending.NotePageInPlace(page, old, size, restorable);
}

void Forget(int record) { g_pending.Forget(record); }

bool PutBack(HANDLE page, const char* old, size_t size, int64_t written) {
    // Only what the new text covered needs its old bytes again.
    size_t count = size;
    if (written >= 0 && static_cast<uint64_t>(written) < size) count = static_cast<size_t>(written);
    if (!SetFilePointerEx(page, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
    while (count > 0) {
        const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        DWORD done = 0;
        if (!WriteFile(page, old, chunk, &done, nullptr) || done == 0) return false;
        old += done;
        count -= done;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(page, end, nullptr, FILE_BEGIN) && SetEndOfFile(page);
}

}  // namespace win32

void CleanUpWritesOnInterrupt() { SetConsoleCtrlHandler(win32::OnControl, TRUE); }

}  // namespace favpage
