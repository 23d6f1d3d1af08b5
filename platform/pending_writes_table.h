// platform/pending_writes_table.h: the records an interrupt reads to undo the pages being
// written, shared by the POSIX signal handler and the Windows control handler.
#pragma once
#include <cstddef>

namespace favpage {

// A fixed table, in static storage, of what an interrupt must undo: each backend's Record holds
// its note of a temporary file and a page written in place through `page` (the backend's file
// handle), whose `size` old bytes at `old` go back when `restorable`, and `used`. A handler reads
// the table as it stands: every change to it is made while the backend holds its handler back.
// One writer at a time is the rule; a few more records cost nothing.
template <class Record>
class PendingWritesTable {
public:
    // A fresh record's number, or -1 when all are in use: an interrupt then leaves that write as
    // it is.
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
    int NotePageInPlace(decltype(Record::page) page, const char* old, size_t size, bool restorable) {
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
    Record* begin() { return m_records; }
    Record* end() { return m_records + kRecords; }

private:
    static constexpr int kRecords = 8;
    Record m_records[kRecords];
};

}  // namespace favpage
