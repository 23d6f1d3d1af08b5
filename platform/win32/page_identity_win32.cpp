// platform/win32/page_identity_win32.cpp: a page's owner, access list, attributes, creation
// time and the file a link to it leads to.
#include "platform/win32/page_identity_win32.h"

#include <cstring>

namespace favpage::win32 {

namespace {

// What GetFileSecurityW tells of a file (`what` of it, self-relative); empty when it cannot be
// read.
std::vector<char> ReadSecurity(const std::wstring& path, SECURITY_INFORMATION what) {
    DWORD need = 0;
    GetFileSecurityW(path.c_str(), what, nullptr, 0, &need);
    std::vector<char> sd(need);
    if (need == 0 || !GetFileSecurityW(path.c_str(), what, sd.data(), need, &need)) sd.clear();
    return sd;
}

bool SameAccessList(const std::vector<char>& a, const std::vector<char>& b) {
    if (a.empty() || b.empty()) return a.empty() == b.empty();
    BOOL presentA = FALSE, presentB = FALSE, defaultedA = FALSE, defaultedB = FALSE;
    PACL aclA = nullptr, aclB = nullptr;
    auto* sdA = const_cast<char*>(a.data());
    auto* sdB = const_cast<char*>(b.data());
    if (!GetSecurityDescriptorDacl(sdA, &presentA, &aclA, &defaultedA) ||
        !GetSecurityDescriptorDacl(sdB, &presentB, &aclB, &defaultedB)) {
        return false;
    }
    if (!presentA || !presentB || !aclA || !aclB) return presentA == presentB && aclA == aclB;
    return aclA->AclSize == aclB->AclSize && std::memcmp(aclA, aclB, aclA->AclSize) == 0;
}

// The attributes a replaced page carries over; read-only, hidden and system pages are refused.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                  FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

}  // namespace

std::vector<char> ReadAccessList(const std::wstring& path) {
    return ReadSecurity(path, DACL_SECURITY_INFORMATION);
}

std::vector<char> WithoutExecute(std::vector<char> sd) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (sd.empty() || !GetSecurityDescriptorDacl(sd.data(), &present, &acl, &defaulted) ||
        !present || !acl) {
        return sd;
    }
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(acl, i, &ace)) break;
        if (static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        ACCESS_MASK& mask = static_cast<ACCESS_ALLOWED_ACE*>(ace)->Mask;
        if (mask & GENERIC_ALL) mask = (mask & ~GENERIC_ALL) | FILE_ALL_ACCESS;
        mask &= ~(FILE_EXECUTE | GENERIC_EXECUTE);
    }
    return sd;
}

bool KeepsOwner(const std::wstring& page, const std::wstring& temporary) {
    std::vector<char> want = ReadSecurity(page, OWNER_SECURITY_INFORMATION);
    const std::vector<char> have = ReadSecurity(temporary, OWNER_SECURITY_INFORMATION);
    PSID wantOwner = nullptr, haveOwner = nullptr;
    BOOL defaulted = FALSE;
    if (want.empty() || have.empty() ||
        !GetSecurityDescriptorOwner(want.data(), &wantOwner, &defaulted) ||
        !GetSecurityDescriptorOwner(const_cast<char*>(have.data()), &haveOwner, &defaulted) ||
        !wantOwner || !haveOwner || EqualSid(wantOwner, haveOwner)) {
        return true;
    }
    return SetFileSecurityW(temporary.c_str(), OWNER_SECURITY_INFORMATION, want.data()) != 0;
}

void TakeOverAttributesAndSecurity(const std::wstring& temporary, const std::wstring& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const DWORD now = GetFileAttributesW(temporary.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && now != INVALID_FILE_ATTRIBUTES &&
        (now & kKeptAttributes) != (attributes & kKeptAttributes)) {
        const DWORD want = (now & ~kKeptAttributes) | (attributes & kKeptAttributes);
        SetFileAttributesW(temporary.c_str(), want ? want : FILE_ATTRIBUTE_NORMAL);
    }
    const std::vector<char> accessList = ReadAccessList(target);
    if (!accessList.empty() && !SameAccessList(accessList, ReadAccessList(temporary))) {
        SetFileSecurityW(temporary.c_str(), DACL_SECURITY_INFORMATION,
                         const_cast<char*>(accessList.data()));
    }
}

void TakeOverCreationTime(HANDLE temporary, const std::wstring& target) {
    WIN32_FILE_ATTRIBUTE_DATA page;
    if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &page)) {
        SetFileTime(temporary, &page.ftCreationTime, nullptr, nullptr);
    }
}

std::wstring FinalSystemPath(HANDLE file) {
    std::wstring final(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    if (n >= final.size()) {
        final.resize(n);
        n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    if (n == 0 || n >= final.size()) return L"";
    final.resize(n);
    return final;
}

bool HeldAgainstReplacing(const std::wstring& target) {
    HANDLE h = CreateFileW(target.c_str(), DELETE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}

}  // namespace favpage::win32
