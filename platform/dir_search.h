// platform/dir_search.h: directory search and the attribute model (admission, hidden names), on
// every platform.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/path.h"

namespace favpage {

// Attribute bits as the file system reports them (Windows values; the POSIX backend maps to them).
enum : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrVolumeLabel = 0x08,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrDevice = 0x40,  // POSIX: a device, pipe or socket, which is never opened as a shortcut
};

// Hidden on POSIX, which has no such attribute: a name starting with '.', other than "." and
// "..". The POSIX backend sets kAttrHidden by it.
inline bool IsHiddenName(std::string_view name) {
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

// The two masks the folder walk searches with.
constexpr uint32_t kSubFolderMask = kAttrDirectory;
constexpr uint32_t kFileMask = ~kAttrDirectory;  // 0xFFFFFFEF

// True when an entry with attributes `attrs` is delivered by a search with `mask`: a mask does
// not demand its bits, it only lets entries that carry hidden, system or directory through.
bool Admits(uint32_t mask, uint32_t attrs);

// When an entry was made and last changed, in whole seconds since 1970 (UTC); 0 when the system
// did not tell. POSIX keeps no creation time that every file system has: both are the time of the
// last change there.
struct FileTimes {
    int64_t created = 0;
    int64_t modified = 0;
};

struct DirEntry {
    std::string name;        // without any folder part
    uint32_t size = 0;       // low 32 bits of the length
    uint64_t length = 0;     // the whole length, for bounds that must not wrap at 4 GiB
    uint32_t attributes = 0; // full set, not reduced by the mask
    FileTimes times{};       // filled by one-entry lookups and full searches
    // Set by a search for names and kinds where the listing itself shows a plain file: not a
    // folder, link, device, pipe or socket. Nothing was looked up for it, so its length and
    // times are not filled in (PlainFileEntry).
    bool plainFile = false;
};

// The entry a listing of names and kinds gives `name` when it shows a plain file: the name, the
// hidden bit its name gives, and nothing else looked up. Only listings that tell plain files
// apart (POSIX) give such entries.
inline void PlainFileEntry(std::string_view name, DirEntry& e) {
    e.name.assign(name.data(), name.size());
    e.size = 0;
    e.length = 0;
    e.attributes = IsHiddenName(e.name) ? uint32_t{kAttrHidden} : 0u;
    e.times = FileTimes{};
    e.plainFile = true;
}

// What a wildcard search must fill in. A folder scan needs only names and the directory bit,
// which most file systems hand over with the listing; size and the other bits may cost one more
// system call per entry. One-entry lookups always fill everything.
enum class Detail { Full, NamesAndKinds };

// What the system needs, besides the path the page shows, to find a folder that a walk found:
// on Windows the \\?\ form of its full path, made once from the path the user gave and then
// extended by each name exactly as its folder lists it, so that a name the Win32 path rules
// would change (a trailing dot or space, CON, NUL, COM1, ...) still names its own entry, at any
// length. POSIX paths mean what they say: nothing more is needed there.
struct SystemFolderPath {
#ifdef _WIN32
    std::wstring path;
#endif
};

// A folder held open for the search of its entries and the lookups and opens of their names.
// On POSIX it is the folder's descriptor: a name is resolved in that very folder, which costs no
// walk along the folder's path and never lands in another folder that was renamed or put in its
// place since the folder was opened. Win32 offers no calls relative to an open folder, so on
// Windows the handle keeps the folder's system path and names are joined to it.
class FolderHandle {
public:
    FolderHandle() = default;
    // Opens a folder as the user gave it; see IsOpen().
    explicit FolderHandle(std::string path);
    // Opens a folder a walk found: `system` is its parent's SubFolder() of its name, `path` what
    // the page shows. An empty `system` stands for the path as the user gave it.
    FolderHandle(std::string path, SystemFolderPath system);
    ~FolderHandle();
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    const std::string& Path() const { return m_path; }
    // False when the folder could not be opened: its search delivers nothing.
    bool IsOpen() const { return m_open; }
    // The POSIX descriptor; -1 on Windows.
    intptr_t Native() const { return m_native; }
    // True the first time only: until a search has read from it, a descriptor just opened
    // stands at the folder's first entry, and a search need not go back there.
    bool FirstSearch() const { return !std::exchange(m_searched, true); }
    // What the system needs to find this folder's sub-folder `name` later, when this handle may
    // be gone.
    SystemFolderPath SubFolder(const std::string& name) const;
    // The same for a folder not opened: what a handle made with `path` and `system` would give.
    static SystemFolderPath SubFolderOf(const std::string& path, const SystemFolderPath& system,
                                        const std::string& name);
#ifdef _WIN32
    // The \\?\ form of this folder's path, without a trailing separator: names are joined to it.
    const std::wstring& SystemPath() const { return m_system.path; }
#endif

private:
    std::string m_path;
    SystemFolderPath m_system;
    intptr_t m_native = -1;
    bool m_open = false;
    mutable bool m_searched = false;
};

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
    // Searches every entry of an open folder, as the pattern "*.*" does.
    std::optional<DirEntry> FindFirst(const FolderHandle& folder, uint32_t mask,
                                      Detail detail = Detail::Full);
    // The same search into `entry`, whose storage is reused from entry to entry, for a caller
    // that lists many: false, with `entry` unspecified, when nothing (further) is admitted.
    bool FindFirst(const FolderHandle& folder, uint32_t mask, Detail detail, DirEntry& entry);
    bool FindNext(DirEntry& entry);
    // The next admitted entry of the same search; nothing once the search is exhausted, and
    // nothing ever after.
    std::optional<DirEntry> FindNext();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Looks up the one entry a path names under `mask`, with every attribute filled in. A path with
// trailing separators names the folder before them; a drive root ("C:", "C:\") and "/" are
// folders. On Windows a path holding '*' or '?', which no Windows name does, names nothing;
// where names may hold them (POSIX), they are taken literally.
std::optional<DirEntry> FindEntry(const std::string& path, uint32_t mask);
// The same lookup into `entry`, whose storage is reused: for a caller that looks up every file
// of a folder. False, with `entry` unspecified, when nothing is found.
bool FindEntry(const std::string& path, uint32_t mask, DirEntry& entry);

// The same lookup of a name in an open folder.
bool FindEntry(const FolderHandle& folder, const std::string& name, uint32_t mask, DirEntry& entry);

// Identity of a folder on its volume, used by the walk to refuse a folder that is already on the
// path being walked (symbolic links, junctions). Nothing when it cannot be determined. When
// `times` is given, the folder's times are stored there too (left as they were when the folder
// cannot be read): the same system call tells both.
struct FolderId {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FolderId& o) const { return volume == o.volume && index == o.index; }
};
struct FolderIdHash {
    size_t operator()(const FolderId& id) const {
        return std::hash<uint64_t>()(id.index * 0x9E3779B97F4A7C15ull ^ id.volume);
    }
};
std::optional<FolderId> GetFolderId(const std::string& path, FileTimes* times = nullptr);
// The identity of an open folder, and its times as above.
std::optional<FolderId> GetFolderId(const FolderHandle& folder, FileTimes* times = nullptr);
// The identity of the folder `name` names in an open folder, and its times as above.
std::optional<FolderId> GetFolderId(const FolderHandle& folder, const std::string& name,
                                    FileTimes* times = nullptr);

// The full path of an existing folder, with "." and ".." resolved, for a folder given as "." or
// "..", whose name the path does not tell. Nothing when the system cannot tell.
std::optional<std::string> FullFolderPath(const std::string& path);

}  // namespace favpage
