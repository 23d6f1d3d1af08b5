// engine/page_output.h: where the page's bytes go while it is written: a temporary file that
// takes the page's place when complete, or the page itself, written in place with its old bytes
// kept. The decision and its steps are written here once, for every platform, over the
// backends' primitives (platform/native_file.h); TextFile writes the page's text into it. What
// is refused, replaced or written in place, and why: README.md, "Replacing the page".
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/native_file.h"
#include "platform/text_file.h"

namespace favpage {

class PageOutput final : public ByteSink {
public:
    // Decides how the page at `path` is written and opens what is written; nothing, with
    // nothing touched, where the page is refused.
    static std::unique_ptr<PageOutput> Open(const std::string& path);
    // Never finished: the page is left as it was.
    ~PageOutput() override;
    PageOutput(const PageOutput&) = delete;
    PageOutput& operator=(const PageOutput&) = delete;

    // Writes all of `data`, after what was written before; false when any of it failed.
    bool Write(const char* data, size_t count) override;
    // Called after every byte was written: puts the text on the disk and in the page's place.
    // False when anything failed: the page is then as it was, to its last byte and its length
    // (only a page that may be written but not read cannot be given its bytes back).
    bool Finish() override;

    // For tests: every writer's step of this kind fails from now on, as a failing or full disk
    // would make it fail (None: none fails).
    enum class Step { None, Write, Truncate, Flush };
    static void FailInTests(Step step);

private:
    PageOutput() = default;
    // The run failed: the temporary file goes, or the page gets its old bytes back.
    void Abandon();
    void DropTemporary(const native::SystemName& name);
    // Written in place: the old bytes and length back, where they could be read. Called with
    // interrupts held.
    void PutBackOldBytes();
    // The interrupt no longer has this write to undo.
    void ForgetPending();

    native::PagePlace m_place;
    native::PageFacts m_facts;
    native::File m_file;             // the temporary file, or the page written in place
    native::SystemName m_temporary;  // the temporary file's name; empty when written in place
    std::vector<char> m_old;         // written in place: the page's old bytes
    bool m_restorable = false;       // they could be read
    int m_pending = -1;              // the interrupt's record of this write
    bool m_done = false;
};

// Opens a text writer of the page `path` over its PageOutput: Close() puts the text in the
// page's place, and any failure, destruction without Close(), or an interrupt
// (platform/interrupt.h) leaves the page as it was. Nothing, with nothing touched, when the page
// is refused.
std::unique_ptr<TextFile> OpenPageWriter(const std::string& path);

}  // namespace favpage
