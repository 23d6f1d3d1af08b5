// engine/walk_writer.h: what the folder walk reports, to a writer that turns it into a file.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/shortcut_reader.h"
#include "platform/dir_search.h"

namespace favpage {

// A folder as the walk found it.
struct FoundFolder {
    std::string path;    // in the platform's form (platform/code_page.h)
    std::string name;    // its own name: the last component of the path
    std::string anchor;  // unique across the walk; empty for the folder the walk starts from
    FileTimes times;
    // False for a folder reached again by another route (a link, a junction): its part is where
    // it was listed first, and it is not walked again here.
    bool partHere = true;
    std::optional<FolderId> id;  // the walk's own: to know a folder met again
    SystemFolderPath system;     // the walk's own: to find the folder again (empty for the root)
};

// The walk reports each folder's part in this order, depth first:
//   BeginFolder, SubFolders, BeginLinks, then each link in name order (AppendLink when the
//   file is read, Link when its turn comes), EndLinks, then the part of each sub-folder whose
//   part is here, in list order, then EndFolder.
// Nothing of another folder comes between a folder's BeginFolder and its EndLinks. The walk
// decides nothing by format: each writer writes what it reports in its own way.
class WalkWriter : public LinkFormat {
public:
    virtual void BeginFolder(const FoundFolder& folder) = 0;
    // The folder's sub-folders in name order, those reached again by another route included;
    // also called when there are none.
    virtual void SubFolders(const std::vector<FoundFolder>& subFolders) = 0;
    // `anyFile` is false when the folder listed no file at all (no entry but its folders).
    virtual void BeginLinks(bool anyFile) = 0;
    // AppendLink (from LinkFormat) makes a link's text when its file is read, which is mostly in
    // the order the folder lists them; the walk keeps the text and hands it here in name order.
    virtual void Link(std::string_view text) = 0;
    virtual void EndLinks(bool anyFile) = 0;
    virtual void EndFolder() = 0;
    // True once the output can no longer be written: the walk then stops early.
    virtual bool Failed() const = 0;
    // False when the writer shows no file's times (FoundLink::times): the walk then reads a
    // file its listing showed as a plain file without looking it up (Lookup::UnlessPlain).
    virtual bool NeedsFileTimes() const { return true; }
};

}  // namespace favpage
