// engine/shortcut_reader.h: WriteShortcut, which turns one directory entry into one link.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dir_search.h"
#include "platform/text_file.h"

namespace favpage {

// Only this much of a file is examined, so a huge file that is no shortcut costs little: this
// many characters of its text, or of a UTF-16 file this many of its bytes.
constexpr size_t kShortcutExamineLimit = 64 * 1024;

// Reads shortcut text as Windows reads these files: the file is a shortcut when it holds an
// [InternetShortcut] section, wherever it stands; section and key names ignore letter case,
// blanks around names and values are ignored, a UTF-8 byte-order mark is skipped, a 0 byte ends
// its line, one pair of double quotes around a value is removed, and of two equal sections or
// keys the first counts. The result is the link target before escaping: the section's URL value,
// or an empty target when it has none; nothing when there is no such section. When the file also
// has an [InternetShortcut.W] section whose URL decodes cleanly from UTF-7 to a non-empty
// address (Windows keeps an address with characters outside the code page there, with '?' in the
// other section), that address is the target instead, its non-ASCII bytes and control
// characters percent-encoded.
std::optional<std::string> ParseShortcut(std::string_view text);

// The link text of a file name: the name without its last extension.
std::string_view LinkText(std::string_view fileName);

// A shortcut as the reader found it.
struct FoundLink {
    std::string_view target;  // the address before escaping
    std::string_view text;    // the link text (LinkText of the file's name)
    const FileTimes& times;   // the file's
    // The target is UTF-8 text, not code-page text: the file began with a UTF-8 byte-order mark.
    bool utf8 = false;
};

// How one link is written: the page's way (AppendPageLink) or another file's.
class LinkFormat {
public:
    virtual ~LinkFormat() = default;
    // Appends the text of `link` to `out`.
    virtual void AppendLink(std::string& out, const FoundLink& link) = 0;
};

// The page's link line and the empty line after it, with the target and text escaped. A UTF-8
// target on a page whose code page is not UTF-8 is written percent-encoded where it is not
// ASCII, as a Unicode address is, so it is the address it was.
void AppendPageLink(std::string& out, const FoundLink& link);

// Opens the folder's entry; when it is a shortcut, counts it and writes its link line and an
// empty line to `out`. Anything else (a folder, a file that cannot be opened or read, a
// file that is no shortcut) writes nothing and counts nothing. A file that begins with a UTF-16
// byte-order mark (either byte order) is read as UTF-16 text, by ParseShortcut's rules and text
// mode's (CRs dropped, Ctrl-Z ends it) applied to its characters; its address is Unicode and
// written percent-encoded, as a .W address is.
void WriteShortcut(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                   const DirEntry& entry);

// The reader behind WriteShortcut, for a caller that collects links before writing them: reads
// the entry in the open `folder`, and when it is a shortcut, counts it and appends its link, as
// `format` writes links (the page's link line and the empty line when no format is given), to
// `links`. Returns true when it appended; otherwise `links` is left as it was.
bool AppendShortcutLink(int32_t& shortcutCount, const FolderHandle& folder, const DirEntry& entry,
                        std::string& links);
bool AppendShortcutLink(int32_t& shortcutCount, const FolderHandle& folder, const DirEntry& entry,
                        LinkFormat& format, std::string& links);

// The reader's two halves, for a caller that reads files on other threads. ReadShortcutFile
// reads the text of the folder's entry as AppendShortcutLink does (UTF-16 files as UTF-8, with
// `utf16` set), and may be called on any thread; false when the entry is no file to read or
// could not be opened. AppendLinkOfText counts and appends the link of such a text when it is a
// shortcut, as AppendShortcutLink does.
bool ReadShortcutFile(const FolderHandle& folder, const DirEntry& entry, std::string& text,
                      bool& utf16);
bool AppendLinkOfText(int32_t& shortcutCount, const DirEntry& entry, std::string_view text,
                      bool utf16, LinkFormat& format, std::string& links);

// The same for a file someone else has read: `text` is its first characters, as
// TextFile::ReadLookedUp delivers them for at most kShortcutExamineLimit.
bool AppendLinkOfText(int32_t& shortcutCount, const DirEntry& entry, std::string_view text,
                      LinkFormat& format, std::string& links);

}  // namespace favpage
