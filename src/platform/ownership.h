#pragma once
// Who may change a file or a folder, and with which rights this process runs: what a program that
// acts for one user must know before it trusts what another user could have written.

#include "platform/error.h"
#include "platform/file.h"
#include "platform/transfer.h"

namespace velquin::platform {

struct Ownership {
    bool ownedByCurrentUser = false;  // it belongs to the user this process runs as
    bool othersMayWrite = false;      // another user may change it (a folder: add, remove or rename entries)
    bool othersMayEnter = false;      // another user has any access to it at all
};

Error OwnershipOf(const Folder& folder, Ownership& out);
Error OwnershipOf(const LockedFile& file, Ownership& out);

// Whether this process runs as the superuser (root; on Windows, an elevated administrator).
bool RunningAsSuperuser();

// Whether this process holds rights beyond those of the user it runs as, other than as the
// superuser (Linux capabilities given to an ordinary user's process): it may then reach places
// and set bits its user could not.
bool RunningWithExtraRights();

// Whether the owner of `owned`, with that user's own rights and no more, may add entries to
// `folder`.
Error OwnerMayAddEntries(const Folder& owned, const Folder& folder, bool& may);

}  // namespace velquin::platform
