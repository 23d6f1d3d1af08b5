// platform/posix/page_identity_posix.h: giving a new file everything an existing page has, so that it
// can take the page's place with nothing lost.
#pragma once
#include <string>
#include <sys/stat.h>

namespace favpage::posix {

// Gives the file `fd` the owner and group, extended attributes (its ACL among them) and
// permission bits of the page open as `page`, described by `st`; attributes the new file has and
// the page has not are removed. False when any of it cannot be given (only root may give a file
// away; a group must be one of the user's own): then the file is not the page's equal.
bool TakeOverIdentity(int page, const struct stat& st, int fd);

// The permission bits a plain create of a file in the open `folder` would give it: 0666 less
// the umask, or, where the folder has a default ACL, that ACL's entries for owner, group class
// and others masked by 0666, as the system gives them.
mode_t NewFileMode(int folder);

}  // namespace favpage::posix
