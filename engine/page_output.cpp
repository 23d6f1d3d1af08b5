// engine/page_output.cpp: the page's writer: the decision between replacing the page and
// writing it in place, and the steps of each.
#include "engine/page_output.h"

#include <atomic>
#include <new>

#include "platform/pending_writes.h"

namespace favpage {

using native::File;
using native::InterruptsHeld;
using Kind = native::PageFacts::Kind;

namespace {

std::atomic<PageOutput::Step> g_failing{PageOutput::Step::None};

bool Fails(PageOutput::Step step) { return g_failing.load(std::memory_order_relaxed) == step; }

// Reads the whole file, from its start, into `bytes`, and goes back to its start.
bool ReadWhole(native::FileHandle file, uint64_t sizeHint, std::vector<char>& bytes) {
    try {
        bytes.resize(static_cast<size_t>(sizeHint) + 1);
        size_t have = 0;
        for (;;) {
            if (have == bytes.size()) bytes.resize(bytes.size() * 2);  // it grew meanwhile
            const long got = native::ReadBytes(file, bytes.data() + have, bytes.size() - have);
            if (got < 0) return false;
            if (got == 0) break;
            have += static_cast<size_t>(got);
        }
        bytes.resize(have);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return native::SeekTo(file, 0);
}

}  // namespace

void PageOutput::FailInTests(Step step) { g_failing.store(step); }

std::unique_ptr<PageOutput> PageOutput::Open(const std::string& path) {
    std::unique_ptr<PageOutput> out(new PageOutput);
    native::PageFacts& facts = out->m_facts;
    File page;
    if (!native::OpenPage(path, out->m_place, facts, page)) return nullptr;
    if (facts.kind == Kind::Device) {
        // A device or a pipe can be neither replaced nor given bytes back: written as it is.
        out->m_file = std::move(page);
        return out;
    }
    const bool exists = facts.kind == Kind::Regular;
    // A page with other names, another user's that no new file could be given, or one held
    // open against replacing, stays the same file. Anything else is tried.
    if (!exists || (facts.names == 1 && facts.yours && !facts.held)) {
        native::SystemName name;
        bool folderRefuses = false;
        File temporary;
        {
            InterruptsHeld held;
            temporary = native::CreatePrivate(out->m_place, facts, name, folderRefuses);
            if (temporary) out->m_pending = native::NoteTemporaryFile(out->m_place, name);
        }
        if (temporary) {
            if (native::CopyIdentity(out->m_place, facts, page, temporary, name)) {
                out->m_file = std::move(temporary);
                out->m_temporary = std::move(name);
                return out;
            }
            temporary.Close();
            out->DropTemporary(name);
        } else if (!exists || !folderRefuses) {
            // No space, a name too long: refused before the page is touched.
            return nullptr;
        }
    }
    // Written in place, from its start, after its old bytes were read, so that a failed or
    // interrupted run can put them back. A page that may be written but not read is emptied
    // first, as a plain open for writing does, and cannot be restored.
    out->m_restorable = facts.readable;
    const bool kept = facts.readable ? ReadWhole(page.Get(), facts.size, out->m_old)
                                     : native::Truncate(page.Get(), 0);
    if (!kept) return nullptr;
    {
        InterruptsHeld held;
        out->m_pending = native::NotePageInPlace(page.Get(), out->m_old.data(), out->m_old.size(),
                                                 out->m_restorable);
        out->m_file = std::move(page);
    }
    return out;
}

PageOutput::~PageOutput() { Abandon(); }

bool PageOutput::Write(const char* data, size_t count) {
    if (m_done || Fails(Step::Write)) return false;
    if (m_facts.kind != Kind::Regular || !m_temporary.empty()) {
        return native::WriteBytes(m_file.Get(), data, count);
    }
    // In place: not while an interrupt puts the old bytes back, nor after.
    InterruptsHeld held;
    return native::WriteBytes(m_file.Get(), data, count);
}

bool PageOutput::Finish() {
    if (m_done) return false;
    m_done = true;
    if (m_facts.kind == Kind::Device) return m_file.Close();
    const native::FileHandle file = m_file.Get();
    if (m_temporary.empty()) {
        bool ok;
        {
            InterruptsHeld held;
            const int64_t written = native::Position(file);
            ok = written >= 0 && !Fails(Step::Truncate) &&
                 native::Truncate(file, static_cast<uint64_t>(written)) && !Fails(Step::Flush) &&
                 native::Flush(file);
            if (!ok) PutBackOldBytes();
            ForgetPending();
        }
        return m_file.Close() && ok;
    }
    bool ok = !Fails(Step::Flush) && native::Flush(file);
    InterruptsHeld held;
    ok = ok && native::MoveIntoPlace(m_place, m_facts, m_file, m_temporary);
    if (!ok) {
        m_file.Close();
        native::RemoveTemporary(m_place, m_temporary);
    }
    ForgetPending();
    return ok;
}

void PageOutput::Abandon() {
    if (m_done) return;
    m_done = true;
    if (m_facts.kind == Kind::Device) return;  // closed as it is
    if (m_temporary.empty()) {
        InterruptsHeld held;
        PutBackOldBytes();
        ForgetPending();
        return;
    }
    m_file.Close();
    DropTemporary(m_temporary);
}

void PageOutput::DropTemporary(const native::SystemName& name) {
    InterruptsHeld held;
    native::RemoveTemporary(m_place, name);
    ForgetPending();
}

void PageOutput::PutBackOldBytes() {
    if (!m_restorable) return;
    native::PutBack(m_file.Get(), m_old.data(), m_old.size());
    native::Flush(m_file.Get());
}

void PageOutput::ForgetPending() {
    native::Forget(m_pending);
    m_pending = -1;
}

std::unique_ptr<TextFile> OpenPageWriter(const std::string& path) {
    return TextFile::WritingTo(PageOutput::Open(path));
}

}  // namespace favpage
