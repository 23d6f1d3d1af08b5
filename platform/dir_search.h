// platform/dir_search.h: directory search with the attribute admission rule, on every platform.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace favpage {

// Attribute bits as the file system reports them (Windows values; the POSIX backend maps to them).
enum : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrVolumeLabel = 0x08,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};

// The separator between a folder and a name in every path the program builds: '\' on Windows,
// '/' on POSIX, where '\' is an ordinary character of a name. A path is never normalised: a
// folder and a name are joined with exactly one separator, whatever the folder ends in.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The two masks the folder walk searches with.
constexpr uint32_t kSubFolderMask = kAttrDirectory;
constexpr uint32_t kFileMask = ~kAttrDirectory;  // 0xFFFFFFEF

// True when an entry with attributes `attrs` is delivered by a search with `mask`: a mask does
// not demand its bits, it only lets entries that carry hidden, system or directory through.
bool Admits(uint32_t mask, uint32_t attrs);

struct DirEntry {
    std::string name;        // without any folder part
    uint32_t size = 0;       // low 32 bits of the length
    uint64_t length = 0;     // the whole length, for bounds that must not wrap at 4 GiB
    uint32_t attributes = 0; // full set, not reduced by the mask
};

// What a wildcard search must fill in. A folder scan needs only names and the directory bit,
// which most file systems hand over with the listing; size and the other bits may cost one more
// system call per entry. One-entry lookups always fill everything.
enum class Detail { Full, NamesAndKinds };

// One search: FindFirst starts it, FindNext continues it; resources are released by the
// destructor, so an abandoned search (every one-entry lookup is one) leaks nothing.
class DirSearch {
public:
    DirSearch();
    ~DirSearch();
    DirSearch(const DirSearch&) = delete;
    DirSearch& operator=(const DirSearch&) = delete;

    // `pattern` is a path whose last component may hold '*' and '?'. Returns the first admitted
    // entry, or nothing when the folder cannot be searched or nothing is admitted.
    std::optional<DirEntry> FindFirst(const std::string& pattern, uint32_t mask,
                                      Detail detail = Detail::Full);
    // The next admitted entry of the same search; nothing once the search is exhausted, and
    // nothing ever after.
    std::optional<DirEntry> FindNext();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Looks up the one entry a path names under `mask`, with every attribute filled in. Where names
// may hold '*' and '?' (POSIX), they are taken literally here.
std::optional<DirEntry> FindEntry(const std::string& path, uint32_t mask);
// The same lookup into `entry`, whose storage is reused: for a caller that looks up every file
// of a folder. False, with `entry` unspecified, when nothing is found.
bool FindEntry(const std::string& path, uint32_t mask, DirEntry& entry);

// Identity of a folder on its volume, used by the walk to refuse a folder that is already on the
// path being walked (symbolic links, junctions). Nothing when it cannot be determined.
struct FolderId {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FolderId& o) const { return volume == o.volume && index == o.index; }
};
std::optional<FolderId> GetFolderId(const std::string& path);

}  // namespace favpage
