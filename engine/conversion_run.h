// engine/conversion_run.h: one conversion run, from the checks to the "Done." text.
#pragma once
#include <cstdint>
#include <string>

#include "engine/folder_walk.h"
#include "platform/clock.h"
#include "platform/text_file.h"

namespace favpage {

// What the run needs from whoever started it: the dialog view, favpage-convert, or a test.
class ConversionHost {
public:
    virtual ~ConversionHost() = default;
    // Shows a status text (platform form, platform/code_page.h); "\n" in it is a line break.
    virtual void ShowStatus(const std::string& text) = 0;
    // Asks "Output file already exists,\ndo you want to overwrite?"; true only for Yes.
    virtual bool ConfirmOverwrite() = 0;
    // Reads the clock once, for the page head.
    virtual LocalTime ReadClock() = 0;
};

enum class ConversionResult {
    Done,         // the page was written; "Done.  Searched ..." shown
    Declined,     // the page exists and the answer was not Yes; nothing written
    NoFolder,     // "Unable to find directory\n <folder>"
    CannotOpen,   // "Unable to open <output>"; nothing written
    CannotWrite,  // "Unable to write <output>"; an existing page is left as it was
};

// The question asked before an existing page is overwritten.
inline constexpr const char* kOverwriteQuestion = "Output file already exists,\ndo you want to overwrite?";
inline constexpr const char* kOverwriteCaption = "Overwrite?";

// What a run writes: the page of links, or the bookmark file browsers import
// (engine/bookmark_writer.h).
enum class OutputKind { Page, Bookmarks };

// Writes the page (or the bookmark file) for `folder` to `output`, counting shortcuts in
// `shortcutCount` (set to 0 first), and reports progress and outcome through `host`. Both paths
// are in the platform's form (platform/code_page.h), as the user gave them; the page and the
// texts show them so (on Windows without one pair of quotes around the whole path,
// PathAsMeant), and the texts are in that form too. A folder path that names no folder ends in
// "Unable to find directory"; one that names something else than a folder ends so before the
// overwrite question. The output replaces `output` only
// when it is complete. Both kinds make the same checks and show the same texts; only the
// bookmark file needs no clock. The folder's files are read as `readAhead` says
// (engine/folder_walk.h).
ConversionResult RunConversion(const std::string& folder, const std::string& output,
                               ConversionHost& host, int32_t& shortcutCount,
                               OutputKind kind = OutputKind::Page,
                               ReadAheadMode readAhead = ReadAheadMode::Auto);

// The page head up to and including "</p>", for `folder` and the time `now`.
std::string PageHead(const std::string& folder, const LocalTime& now);

}  // namespace favpage
