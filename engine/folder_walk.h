// engine/folder_walk.h: the walk of a whole folder tree, and WriteFolder, the page body.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sorted_name_list.h"
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

// True when the walk takes up `name` in `folder` (neither passes the limits above).
inline bool FitsInWalk(const std::string& folder, const std::string& name) {
    return name.size() <= kMaxNameLength && folder.size() + 1 + name.size() <= kMaxPathLength;
}

// A folder's finished links are kept in memory up to this many bytes and written once the folder
// is listed; the files beyond it are read when their turn in name order comes.
constexpr size_t kLinkMemoryLimit = 16 * 1024 * 1024;

// One listing of a folder as the walk takes it up: the names of its sub-folders and of its files
// (those within the limits above), in the order the listing delivered them, which of the files
// it showed as plain files (DirEntry::plainFile), and whether it listed any file at all. Its
// storage is kept from folder to folder.
struct FolderListing {
    std::vector<std::string> subFolders;
    bool anyFile = false;
    DirEntry entry;  // an entry as the listing delivered it

    size_t FileCount() const { return m_fileEnds.size(); }
    std::string_view File(size_t i) const {
        const size_t start = i == 0 ? 0 : m_fileEnds[i - 1];
        return std::string_view(m_fileNames).substr(start, m_fileEnds[i] - start);
    }
    bool FilePlain(size_t i) const { return m_plainFiles[i]; }
    void AddFile(std::string_view name, bool plain) {
        m_fileNames.append(name);
        m_fileEnds.push_back(m_fileNames.size());
        m_plainFiles.push_back(plain);
    }
    void Clear() {
        subFolders.clear();
        anyFile = false;
        m_fileNames.clear();
        m_fileEnds.clear();
        m_plainFiles.clear();
    }

private:
    std::string m_fileNames;  // the files' names, back to back
    std::vector<size_t> m_fileEnds;
    std::vector<bool> m_plainFiles;
};

// Lists `folder` into `listing`, once: a sub-folder is an entry the search for sub-folders
// admits, a file one the search for files admits (platform/dir_search.h). Stops early once
// `stop` is set.
void ListFolder(const FolderHandle& folder, FolderListing& listing,
                const std::atomic<bool>* stop = nullptr);

// Adds `names` to `order`, each with its position, as the page orders names, and orders them.
void OrderNames(const std::vector<std::string>& names, NameOrder& order, std::string& scratch);

// How a walk reads its files: on threads of its own ahead of the walk only once files come
// slowly (Auto, as after a start-up, when nothing is cached), from the first file (Always), or
// never. Whichever, a walk reports exactly the same; only its speed differs.
enum class ReadAheadMode { Auto, Always, Never };

// What a walk did besides its report.
struct WalkCounts {
    size_t filesReadAhead = 0;       // files whose records came from the read-ahead
    size_t filesReadOnThreads = 0;   // files its threads looked up and read
    size_t foldersListedAhead = 0;   // folders its threads listed before the walk came to them
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
