// platform/posix/interrupt_posix.cpp: SIGINT, SIGTERM and SIGHUP undo the pending writes, then
// end the process as the signal does.
#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "platform/interrupt.h"
#include "platform/pending_writes_table.h"
#include "platform/posix/pending_writes.h"

namespace favpage {

namespace posix {

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// One write in progress (platform/pending_writes_table.h).
struct Pending {
    bool used = false;
    int folder = -1;     // the temporary file's folder, or -1 for a page written in place
    char name[64] = {};  // the temporary file's name in it
    int page = -1;       // the page written in place
    const char* old = nullptr;
    size_t size = 0;
    bool restorable = false;
};
PendingWritesTable<Pending> g_pending;

extern "C" void OnInterrupt(int signal) {
    const int savedErrno = errno;
    for (const Pending& p : g_pending) {
        if (!p.used) continue;
        if (p.folder >= 0) unlinkat(p.folder, p.name, 0);
        if (p.page >= 0 && p.restorable) {
            PutBack(p.page, p.old, p.size, lseek(p.page, 0, SEEK_CUR));
            fsync(p.page);
        }
    }
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

InterruptsHeld::InterruptsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : kInterrupts) sigaddset(&held, s);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
}

InterruptsHeld::~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }

int NoteTemporaryFile(int folder, const char* name) {
    const int record = g_pending.Claim();
    if (record < 0) return -1;
    Pending& p = g_pending[record];
    size_t i = 0;
    for (; name[i] && i + 1 < sizeof p.name; ++i) p.name[i] = name[i];
    p.name[i] = 0;
    p.folder = folder;
    return record;
}

int NotePageInPlace(int page, const char* old, size_t size, bool restorable) {
    return g_pending.NotePageInPlace(page, old, size, restorable);
}

void Forget(int record) { g_pending.Forget(record); }

bool PutBack(int page, const char* old, size_t size, off_t written) {
    // Only what the new text covered needs its old bytes again.
    size_t count = size;
    if (written >= 0 && static_cast<size_t>(written) < size) count = static_cast<size_t>(written);
    if (lseek(page, 0, SEEK_SET) != 0) return false;
    while (count > 0) {
        const ssize_t n = write(page, old, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        old += n;
        count -= static_cast<size_t>(n);
    }
    return ftruncate(page, static_cast<off_t>(size)) == 0;
}

}  // namespace posix

void CleanUpWritesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = posix::OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int s : posix::kInterrupts) sigaddset(&action.sa_mask, s);
    for (int s : posix::kInterrupts) {
        struct sigaction current {};
        if (sigaction(s, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

}  // namespace favpage
