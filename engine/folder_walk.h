// engine/folder_walk.h: the walk of a whole folder tree, and WriteFolder, the page body.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/walk_writer.h"
#include "platform/code_page.h"
#include "platform/text_file.h"

namespace favpage {

// Working limits of the walk. A sub-folder or file whose name or path would pass them is passed
// over whole (never cut short), so every path the walk builds names a real entry. A name holds at
// most 255 bytes on POSIX and 255 UTF-16 units on Windows, which take up to three bytes each in
// the platform's UTF-8 (a pair of units, four).
constexpr size_t kMaxNameLength = kLongestNameBytes;
constexpr size_t kMaxPathLength = 4095;

// A folder's finished links are kept in memory up to this many bytes and written once the folder
// is listed; the files beyond it are read when their turn in name order comes.
constexpr size_t kLinkMemoryLimit = 16 * 1024 * 1024;

// How a walk reads its files: on threads of its own ahead of the walk only once files come
// slowly (Auto, as after a start-up, when nothing is cached), from the first file (Always), or
// never. Whichever, a walk reports exactly the same; only its speed differs.
enum class ReadAheadMode { Auto, Always, Never };

// What a walk did besides its report.
struct WalkCounts {
    size_t filesReadAhead = 0;     // files whose records came from the read-ahead
    size_t filesReadOnThreads = 0; // of those, files its threads looked up and read
};

// Walks `folder` and every folder below it and reports, depth first, each folder, its sorted
// sub-folders, the links of its shortcuts in name order, then each sub-folder's part to `writer`
// (engine/walk_writer.h tells the order). Shortcuts found are added to `shortcutCount`. `folder`
// is in the platform's form (platform/code_page.h).
//
// The walk always ends: it keeps its own stack instead of recursing, does not enter a folder
// that is already on the path being walked (symbolic links, junctions, bind mounts), and stops
// early once the writer can no longer write. Each real folder is walked once: a folder that
// is listed again by another route is listed there with its own path, linked to the anchor of
// its one part, so the work grows with the real folders, not the routes to them. Anchors are
// unique across the whole page: a folder whose anchor name is taken gets "_2", "_3", ...
// appended. Memory grows with the largest folder times the depth, plus one anchor name per folder
// of the page, plus the links of one folder (at most kLinkMemoryLimit bytes and its names).
WalkCounts WalkFolders(int32_t& shortcutCount, const std::string& folder, WalkWriter& writer,
                       ReadAheadMode readAhead);

// The page body of `folder`, walked as above: for each folder the sorted list of sub-folders
// (each a link to its anchor further down), the links of its shortcuts, then each sub-folder's
// anchor and part. Names and paths reach the page as AppendPageText writes them.
WalkCounts WriteFolder(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                       ReadAheadMode readAhead = ReadAheadMode::Auto);

}  // namespace favpage
