// platform/pending_writes_table.h: the records an interrupt reads to undo the pages being
// written, shared by the POSIX signal handler and the Windows control handler.
#pragma once
#include <cstddef>

#include "platform/pending_writes.h"

namespace favpage {

// A fixed table, in static storage, of what an interrupt must undo: each backend's Record holds
// its note of a temporary file, and a page written in place through `page`, whose `size` old
// bytes at `old` go back when `restorable`, and `used`. A handler reads the table as it stands:
// every change to it is made while the writer holds interrupts back. One writer at a time is the
// rule; a few more records cost nothing.
template <class Record>
class PendingWritesTable {
public:
    // A fresh record's number, or -1 when all are in use.
    int Claim() {
        for (int i = 0; i < kRecords; ++i) {
            if (!m_records[i].used) {
                m_records[i] = Record();
                m_records[i].used = true;
                return i;
            }
        }
        return -1;
    }
    Record& operator[](int record) { return m_records[record]; }
    int NotePageInPlace(native::FileHandle page, const char* old, size_t size, bool restorable) {
        const int record = Claim();
        if (record < 0) return -1;
        Record& p = m_records[record];
        p.page = page;
        p.old = old;
        p.size = size;
        p.restorable = restorable;
        return record;
    }
    void Forget(int record) {
        if (record >= 0) m_records[record] = Record();
    }
    // What the interrupt does: every temporary file removed (`remove`, the backend's signal-safe
    // way), every page written in place given its old bytes back.
    template <class RemoveTemporary>
    void UndoAll(RemoveTemporary remove) {
        for (Record& p : m_records) {
            if (!p.used) continue;
            remove(p);
            if (p.page != native::kNoFile && p.restorable) {
                native::PutBack(p.page, p.old, p.size);
                native::Flush(p.page);
            }
        }
    }

private:
    static constexpr int kRecords = 8;
    Record m_records[kRecords];
};

}  // namespace favpage
