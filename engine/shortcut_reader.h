// engine/shortcut_reader.h: reading Internet Shortcut files: their text read from the folder,
// their address parsed, their link made.
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

// What ReadShortcutFile found: no text (the entry is no file to read, or it could not be
// opened), the file's text as it is, or the UTF-8 of a UTF-16 file.
enum class TextKind : unsigned char { None, Plain, FromUtf16 };

// Reads the text of the folder's entry (just looked up, or shown by its listing as a plain file)
// into `text`, reusing its storage: its
// first kShortcutExamineLimit characters in text mode (CRs dropped, the first Ctrl-Z ends it);
// or, for a file that begins with a UTF-16 byte-order mark (either byte order), the UTF-8 of
// its first kShortcutExamineLimit bytes, with text mode's rules applied to its characters. A
// folder, a device, a pipe or a socket is never opened. May be called on any thread.
TextKind ReadShortcutFile(const FolderHandle& folder, const DirEntry& entry, std::string& text);
// The same without a copy, for a caller that reads one file at a time: the text is read into
// `buffer` (kShortcutExamineLimit bytes) or, from UTF-16, made in `utf16Text`, and `text` shows it.
TextKind ReadShortcutFile(const FolderHandle& folder, const DirEntry& entry, char* buffer,
                          std::string& utf16Text, std::string_view& text);

// When `text` (read by ReadShortcutFile as `kind`) is a shortcut's, counts it and appends its
// link, as `format` writes links, to `links`; returns true when it appended, and otherwise
// leaves `links` as it was. A UTF-16 file's address is Unicode and written percent-encoded, as
// a .W address is.
bool AppendLinkOfText(int32_t& shortcutCount, const DirEntry& entry, std::string_view text,
                      TextKind kind, LinkFormat& format, std::string& links);

// Both in one, straight to a page file: the entry of `folder` read, and when it is a shortcut,
// counted and its page link written to `out`. For the tests and the fuzzer, which look at one
// file at a time; the walk reads through its stream of records (engine/shortcut_source.h).
void WriteShortcut(int32_t& shortcutCount, const std::string& folder, TextFile& out,
                   const DirEntry& entry);

}  // namespace favpage
