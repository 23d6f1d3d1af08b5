// platform/posix/page_identity_posix.cpp: owner, group, extended attributes and permission bits.
#include "platform/posix/page_identity_posix.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace favpage::posix {

namespace {

// The names of a file's extended attributes, each ending in a 0 byte. A file system without
// them has none.
bool ListNames(int fd, std::vector<char>& names) {
    for (;;) {
        const ssize_t need = flistxattr(fd, nullptr, 0);
        if (need < 0) {
            names.clear();
            return errno == ENOTSUP;
        }
        names.resize(static_cast<size_t>(need));
        if (need == 0) return true;
        const ssize_t got = flistxattr(fd, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;  // ERANGE: one was added meanwhile
    }
}

bool ReadValue(int fd, const char* name, std::vector<char>& value) {
    for (;;) {
        const ssize_t need = fgetxattr(fd, name, nullptr, 0);
        if (need < 0) return false;
        value.resize(static_cast<size_t>(need));
        if (need == 0) return true;
        const ssize_t got = fgetxattr(fd, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

bool Listed(const std::vector<char>& names, const char* name) {
    for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        if (std::strcmp(names.data() + at, name) == 0) return true;
    }
    return false;
}

// The new file's attributes become the page's: the ACL (system.posix_acl_access), user.*
// attributes and the rest, byte for byte. Most pages have none: two calls then.
bool CopyExtendedAttributes(int page, int fd) {
    std::vector<char> pageNames, ownNames, value, present;
    if (!ListNames(page, pageNames) || !ListNames(fd, ownNames)) return false;
    // What the folder gave the new file (a default ACL's entries) and the page does not have.
    for (size_t at = 0; at < ownNames.size(); at += std::strlen(ownNames.data() + at) + 1) {
        const char* name = ownNames.data() + at;
        if (!Listed(pageNames, name) && fremovexattr(fd, name) != 0) return false;
    }
    for (size_t at = 0; at < pageNames.size(); at += std::strlen(pageNames.data() + at) + 1) {
        const char* name = pageNames.data() + at;
        if (!ReadValue(page, name, value)) return false;
        if (ReadValue(fd, name, present) && present == value) continue;
        if (fsetxattr(fd, name, value.data(), value.size(), 0) != 0) return false;
    }
    return true;
}

}  // namespace

bool TakeOverIdentity(int page, const struct stat& st, int fd) {
    struct stat own;
    if (fstat(fd, &own) != 0) return false;
    // First the owner: a change of owner clears the set-user-ID bit and file capabilities,
    // which the steps after it then give back.
    if ((own.st_uid != st.st_uid || own.st_gid != st.st_gid) &&
        fchown(fd, st.st_uid, st.st_gid) != 0) {
        return false;
    }
    if (!CopyExtendedAttributes(page, fd)) return false;
    // With an ACL, the group bits are its mask, which this sets to the page's again.
    if (fchmod(fd, st.st_mode & 07777) != 0) return false;
    // The system may drop a bit quietly (set-group-ID for a group not the user's own).
    return fstat(fd, &own) == 0 && own.st_uid == st.st_uid && own.st_gid == st.st_gid &&
           (own.st_mode & 07777) == (st.st_mode & 07777);
}

mode_t NewFileMode(int folder) {
    // The stored form of an ACL: a 4-byte version, then 8-byte entries of a 16-bit tag, 16-bit
    // permissions and a 32-bit id, in the machine's byte order (Linux).
    constexpr uint16_t kUserObj = 0x01, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;
    constexpr const char* kDefaultAcl = "system.posix_acl_default";
    // A folder that may be searched but not read is held as a path only (O_PATH), which
    // answers no questions of its own: its name in /proc does.
    const std::string byName = "/proc/self/fd/" + std::to_string(folder);
    const auto read = [&](void* value, size_t size) {
        const ssize_t got = fgetxattr(folder, kDefaultAcl, value, size);
        return got < 0 && errno == EBADF ? getxattr(byName.c_str(), kDefaultAcl, value, size)
                                         : got;
    };
    std::vector<unsigned char> acl;
    ssize_t n = read(nullptr, 0);
    if (n > 0) {
        acl.resize(static_cast<size_t>(n));
        n = read(acl.data(), acl.size());
    }
    if (n >= 4) {
        int user = -1, group = -1, mask = -1, other = -1;
        for (size_t at = 4; at + 8 <= static_cast<size_t>(n); at += 8) {
            uint16_t tag, perm;
            std::memcpy(&tag, &acl[at], 2);
            std::memcpy(&perm, &acl[at + 2], 2);
            if (tag == kUserObj) user = perm & 7;
            if (tag == kGroupObj) group = perm & 7;
            if (tag == kMask) mask = perm & 7;
            if (tag == kOther) other = perm & 7;
        }
        if (user >= 0 && group >= 0 && other >= 0) {
            const int groupClass = mask >= 0 ? mask : group;
            return static_cast<mode_t>((user << 6 | groupClass << 3 | other) & 0666);
        }
    }
    const mode_t umaskBits = umask(0);  // the only way to read it; put back at once
    umask(umaskBits);
    return 0666 & ~umaskBits;
}

}  // namespace favpage::posix
