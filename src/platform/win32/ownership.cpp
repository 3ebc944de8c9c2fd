// Ownership from a file's security descriptor: its owner, and the access its list grants to
// anybody else. The system, the Administrators group and the owner's own identities are no other
// user; an access-allowed entry of a kind not read here counts as granting everything.

#include "platform/ownership.h"

#include <windows.h>
#include <aclapi.h>

#include "platform/win32/folder.h"
#include "platform/win32/security.h"

namespace velquin::platform {

namespace win32 {

namespace {

bool TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind, std::vector<BYTE>& out) {
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, kind, buffer.data(), size, &size)) return false;
    // TOKEN_USER and TOKEN_OWNER both begin with the pointer to their identifier.
    const PSID sid = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                       : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
    out.resize(::GetLengthSid(sid));
    return ::CopySid(static_cast<DWORD>(out.size()), out.data(), sid) != 0;
}

}  // namespace

bool CurrentIdentity(TokenIdentity& out) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const bool known = TokenSid(token, TokenUser, out.user) && TokenSid(token, TokenOwner, out.owner);
    ::CloseHandle(token);
    return known;
}

PrivateSecurity::PrivateSecurity() {
    if (!CurrentIdentity(identity_)) return;
    const PSID user = identity_.user.data();
    acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(user));
    auto* acl = reinterpret_cast<ACL*>(acl_.data());
    ready_ = ::InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) &&
             ::AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_ALL_ACCESS,
                                     user) &&
             ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             ::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
             // Protected: nothing is inherited from the folder above.
             ::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
}

}  // namespace win32

namespace {

constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                     WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof buffer;
    return ::CreateWellKnownSid(type, nullptr, buffer, &size) && ::EqualSid(sid, buffer);
}

bool IsSelf(PSID sid, const win32::TokenIdentity& self) {
    return ::EqualSid(sid, const_cast<BYTE*>(self.user.data())) || ::EqualSid(sid, const_cast<BYTE*>(self.owner.data()));
}

bool IsTrusted(PSID sid, const win32::TokenIdentity& self) {
    return IsSelf(sid, self) || IsWellKnown(sid, WinLocalSystemSid) || IsWellKnown(sid, WinBuiltinAdministratorsSid) ||
           IsWellKnown(sid, WinCreatorOwnerSid) || IsWellKnown(sid, WinCreatorOwnerRightsSid);
}

Error Describe(HANDLE handle, Ownership& out) {
    win32::TokenIdentity self;
    if (!win32::CurrentIdentity(self)) return LastError();
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD code = ::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         &owner, nullptr, &dacl, nullptr, &descriptor);
    if (code != ERROR_SUCCESS) return ErrorFromSystem(static_cast<int>(code));
    out = Ownership{};
    out.ownedByCurrentUser = owner && IsSelf(owner, self);
    if (!dacl) {
        out.othersMayWrite = out.othersMayEnter = true;  // no list at all lets everybody in
    } else {
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            void* entry = nullptr;
            if (!::GetAce(dacl, i, &entry)) continue;
            const auto* header = static_cast<const ACE_HEADER*>(entry);
            if (header->AceFlags & INHERIT_ONLY_ACE) continue;
            if (header->AceType == ACCESS_DENIED_ACE_TYPE || header->AceType == SYSTEM_AUDIT_ACE_TYPE ||
                header->AceType == SYSTEM_ALARM_ACE_TYPE || header->AceType == ACCESS_DENIED_OBJECT_ACE_TYPE) {
                continue;
            }
            ACCESS_MASK mask = ~ACCESS_MASK{0};
            if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
                const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
                if (IsTrusted(const_cast<DWORD*>(&allowed->SidStart), self)) continue;
                mask = allowed->Mask;
            }
            if (mask & kWriteRights) out.othersMayWrite = true;
            if (mask & ~static_cast<ACCESS_MASK>(SYNCHRONIZE)) out.othersMayEnter = true;
        }
    }
    ::LocalFree(descriptor);
    return Error::None;
}

}  // namespace

Error OwnershipOf(const Folder& folder, Ownership& out) {
    const auto* state = static_cast<const win32::FolderState*>(folder.NativeStream());
    if (!state) return Error::NotFound;
    // The folder's handle was opened for listing; reading its security takes one of its own.
    win32::Handle reading(::ReOpenFile(state->handle.get(), READ_CONTROL, win32::kShareAll, FILE_FLAG_BACKUP_SEMANTICS));
    if (!reading) return LastError();
    return Describe(reading.get(), out);
}

Error OwnershipOf(const LockedFile& file, Ownership& out) {
    if (!file.IsOpen()) return Error::NotFound;
    return Describe(reinterpret_cast<HANDLE>(file.NativeHandle()), out);
}

bool RunningAsSuperuser() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                          elevation.TokenIsElevated != 0;
    ::CloseHandle(token);
    return elevated;
}

// Windows gives no rights beyond a user's own except through elevation, which is the superuser's.
bool RunningWithExtraRights() { return false; }

// A restore runs only as the quarantine folder's owner, so the system's own check of the running
// user's rights at the move is the owner's; Windows offers no check on behalf of another user
// short of its authorization service.
Error OwnerMayAddEntries(const Folder& owned, const Folder& folder, bool& may) {
    Ownership ownership;
    const Error error = OwnershipOf(owned, ownership);
    may = error == Error::None && ownership.ownedByCurrentUser && folder.IsOpen();
    return error;
}

}  // namespace velquin::platform
