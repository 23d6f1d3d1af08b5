// engine/conversion_run.cpp: the conversion run and the page head and tail.
#include "engine/conversion_run.h"

#include "engine/bookmark_writer.h"
#include "engine/folder_walk.h"
#include "engine/html_text.h"
#include "engine/page_output.h"
#include "platform/dir_search.h"
#include "platform/message_format.h"

namespace favpage {

std::string PageHead(const std::string& folder, const LocalTime& now) {
    // The encoding is declared before any byte above 127, so a browser reads the page right
    // however it reaches it: opened from the disk or sent by a server that names no charset.
    std::string head =
        "<html>\n"
        "<head>\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=";
    head += PageEncodingLabel();
    head +=
        "\">\n"
        "<TITLE>Favorite Web Pages</TITLE>\n"
        "</head>\n"
        "<body>\n"
        "<!--HTML file created by FAVPAGE-->\n"
        "<!--Get the latest version from the favpage project page-->\n"
        "<!--favpage is freeware, written by Vandrell-->\n"
        "<h1>Favorite Web Pages</h1>\n"
        "<p>Shortcuts converted to HTML Links are from: <br>\n";
    AppendPageText(head, folder);
    head += "<br>On ";
    head += FormatDateLine(now);
    head += "</p>";
    return head;
}

namespace {

// What a folder path names: a folder, nothing, or something else (a file, a device). A search
// with the directory mask admits ordinary files too, so the entry's own bit tells.
enum class FolderLookup { Folder, Missing, NotAFolder };

FolderLookup LookUpFolder(const std::string& folder) {
    const std::optional<DirEntry> entry = FindEntry(folder, kAttrDirectory);
    if (!entry) return FolderLookup::Missing;
    return (entry->attributes & kAttrDirectory) ? FolderLookup::Folder : FolderLookup::NotAFolder;
}

}  // namespace

ConversionResult RunConversion(const std::string& givenFolder, const std::string& givenOutput,
                               ConversionHost& host, int32_t& shortcutCount, OutputKind kind,
                               ReadAheadMode readAhead) {
    // Before anything else, each path as the user meant it; the texts and the page show that.
    const std::string folder(PathAsMeant(givenFolder));
    const std::string output(PathAsMeant(givenOutput));
    host.ShowStatus("Starting search for URLs");
    shortcutCount = 0;

    const auto noFolder = [&] {
        host.ShowStatus(FormatMessageText("Unable to find directory\n %s", {folder}));
        return ConversionResult::NoFolder;
    };
    // A folder path that names a file or a device is no folder, whatever the answer would be:
    // nothing is asked.
    if (LookUpFolder(folder) == FolderLookup::NotAFolder) return noFolder();
    // The question comes first, so a Yes can still end in "Unable to find directory". The mask
    // finds ordinary and read-only files only, never a folder or a hidden or system file.
    if (FindEntry(output, kAttrReadOnly) && !host.ConfirmOverwrite()) {
        return ConversionResult::Declined;
    }
    if (LookUpFolder(folder) != FolderLookup::Folder) return noFolder();
    auto out = OpenPageWriter(output);
    if (!out) {
        host.ShowStatus("Unable to open " + output);
        return ConversionResult::CannotOpen;
    }
    if (kind == OutputKind::Bookmarks) {
        WriteBookmarks(shortcutCount, folder, *out, readAhead);
    } else {
        const LocalTime now = host.ReadClock();
        out->Write(PageHead(folder, now));
        WriteFolder(shortcutCount, folder, *out, readAhead);
        out->Write("</body>\n</html>\n");
    }
    if (!out->Close()) {
        host.ShowStatus("Unable to write " + output);
        return ConversionResult::CannotWrite;
    }
    host.ShowStatus(FormatMessageText("Done.  Searched %s\n and found %i Shortcut files.",
                                      {folder, shortcutCount}));
    return ConversionResult::Done;
}

}  // namespace favpage
