// platform/win32/page_identity_win32.h: what a page is on Windows beyond its bytes (owner,
// access list, attributes, creation time, the file a link leads to), so that a new file can
// take its place with nothing lost. Every path here is in the system's own form.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace favpage::win32 {

// The page's access list as GetFileSecurityW gives it (self-relative); empty when it cannot be
// read.
std::vector<char> ReadAccessList(const std::wstring& path);

// The access list `sd` less the right to execute, which a page does not need: the temporary
// file is made with it, so it is never more open than the page. (Wine keeps an access list as
// permission bits, and the exact list would mark the new page executable.) The exact list is
// given to the finished file before it takes the page's place.
std::vector<char> WithoutExecute(std::vector<char> sd);

// True when the new file at `temporary` has the page's owner or can be given it. An owner that
// cannot be read is no reason to write in place.
bool KeepsOwner(const std::wstring& page, const std::wstring& temporary);

// Gives the finished temporary file the page's kept attributes and exact access list, so that
// it takes the page's place complete. Best effort: the list it was made with is never more
// open than the page's.
void TakeOverAttributesAndSecurity(const std::wstring& temporary, const std::wstring& target);

// Gives the open temporary file the page's creation time, which a replacement would otherwise
// not have. Best effort.
void TakeOverCreationTime(HANDLE temporary, const std::wstring& target);

// The \\?\ path of the file an open handle leads to, through any symbolic link or junction;
// empty when the system cannot tell.
std::wstring FinalSystemPath(HANDLE file);

// True when another program holds the page open without letting it be deleted or renamed, so
// that no replacement can take its place.
bool HeldAgainstReplacing(const std::wstring& target);

}  // namespace favpage::win32
