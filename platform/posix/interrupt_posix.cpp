// platform/posix/interrupt_posix.cpp: SIGINT, SIGTERM and SIGHUP undo the pending writes, then
// end the process as the signal does.
#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "platform/interrupt.h"
#include "platform/pending_writes_table.h"

namespace favpage {

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// One write in progress (platform/pending_writes_table.h).
struct Pending {
    bool used = false;
    int folder = -1;     // the temporary file's folder, or -1
    char name[64] = {};  // the temporary file's name in it
    native::FileHandle page = native::kNoFile;  // the page written in place
    const char* old = nullptr;
    size_t size = 0;
    bool restorable = false;
};
PendingWritesTable<Pending> g_pending;

extern "C" void OnInterrupt(int signal) {
    const int savedErrno = errno;
    g_pending.UndoAll([](const Pending& p) {
        if (p.folder >= 0) unlinkat(p.folder, p.name, 0);
    });
    // End as the signal ends a process that does not catch it: it is held back while this
    // handler runs and arrives, with its default action, as the handler returns.
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
    raise(signal);
    errno = savedErrno;
}

}  // namespace

namespace native {

InterruptsHeld::InterruptsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : kInterrupts) sigaddset(&held, s);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
}

InterruptsHeld::~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }

int NoteTemporaryFile(const PagePlace& place, const SystemName& name) {
    const int record = g_pending.Claim();
    if (record < 0) return -1;
    Pending& p = g_pending[record];
    size_t i = 0;
    for (; i < name.size() && i + 1 < sizeof p.name; ++i) p.name[i] = name[i];
    p.name[i] = 0;
    p.folder = static_cast<int>(place.folder);
    return record;
}

int NotePageInPlace(FileHandle page, const char* old, size_t size, bool restorable) {
    return g_pending.NotePageInPlace(page, old, size, restorable);
}

void Forget(int record) { g_pending.Forget(record); }

}  // namespace native

void CleanUpWritesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int s : kInterrupts) sigaddset(&action.sa_mask, s);
    for (int s : kInterrupts) {
        struct sigaction current {};
        if (sigaction(s, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

}  // namespace favpage
