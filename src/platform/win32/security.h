#pragma once
// Security identifiers and descriptors, shared by the platform layer's Windows files.

#include <windows.h>

#include <vector>

namespace velquin::platform::win32 {

// The process's user, and the owner that the files it creates get (its user, or for an elevated
// administrator the Administrators group).
struct TokenIdentity {
    std::vector<BYTE> user;
    std::vector<BYTE> owner;
};
bool CurrentIdentity(TokenIdentity& out);

// Security attributes that give the process's user full access and nobody else any, inherited by
// everything created inside; Attributes() is null when they could not be made.
class PrivateSecurity {
public:
    PrivateSecurity();
    SECURITY_ATTRIBUTES* Attributes() { return ready_ ? &attributes_ : nullptr; }

private:
    TokenIdentity identity_;
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool ready_ = false;
};

}  // namespace velquin::platform::win32
