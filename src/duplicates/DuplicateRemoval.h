// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/fs/DeletionGate.h"

namespace quillby {

// Removal of one copy of a duplicate: it happens only after comparing the copy byte for byte
// with a copy that stays, immediately before, because equal checksums are no proof of equal
// content and a removed file cannot come back. Every look, the comparison and the unlink go
// through one descriptor of the folder holding the copy, so no path is resolved again between
// the check and the removal. Files are removed only as regular files, never through a link;
// bundle folders only after their whole trees compared equal.
class DuplicateRemoval {
  public:
    enum class Outcome {
        Removed,
        Trashed,           // moved to the trash after the check; trashPath says where
        Differs,           // the contents are not the same: refused
        SameEntry,         // both paths name one directory entry: removing it loses both
        NotRegularFile,    // a folder, link or other non-regular item where a file was listed
        LastCopy,          // no copy of its group stays: refused
        PermissionDenied,  // the user may not remove it (administrator rights could)
        Gone,              // it is no longer there
        Refused,           // the deletion gate keeps it (a system folder, a mount point, ...)
        Failed,            // could not be read or removed for another reason
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string detail;  // the reason, for a report line
        // The removed file has other names (hard links) that keep its content: nothing freed.
        bool otherNamesRemain = false;
        std::string trashPath;  // with Trashed
        int error = 0;          // the errno behind Gone, PermissionDenied or Failed, when known
    };

    // Where a removal happens. Inside the searched folder (when given) every folder on the way
    // is opened from it without following a link, so a folder swapped for one since the search
    // is refused. A removal of many copies passes one gate for all (see removalGate); without
    // one, each removal makes its own. A checked copy is moved to the trash or deleted for good
    // as `disposal` says.
    struct Scope {
        Scope(std::string searchedFolder = {}, const DeletionGate* removalGate = nullptr,
              DeletionGate::Disposal how = DeletionGate::Disposal::Delete)
            : searched(std::move(searchedFolder)), gate(removalGate), disposal(how) {}
        std::string searched;
        const DeletionGate* gate;
        DeletionGate::Disposal disposal;
    };

    // The gate copies are removed through: the home is protected; a copy or a bundle is never an
    // account's home, so the user database is not read. Its trash is the user's data folder's.
    static DeletionGate removalGate();

    // Removes `path` when it is a regular file whose content equals that of `kept`, a different
    // directory entry (a hard link of the same file is fine: its content stays). With a trash
    // disposal the checked copy is moved to the trash instead (Trashed).
    static Result removeVerifiedCopy(const std::string& path, const std::string& kept,
                                     const Scope& scope = {});
    // Removes the folder `path` (an application bundle) when its whole tree equals that of
    // `kept`: the same names, kinds and structure, the same link texts and the same bytes in
    // every file, compared immediately before.
    static Result removeVerifiedBundle(const std::string& path, const std::string& kept,
                                       const Scope& scope = {});
    // Compares `path` with `kept` as removeVerifiedCopy does and removes nothing: Removed means
    // the two are equal copies that may go (for a removal the user's rights cannot do).
    static Result checkVerifiedCopy(const std::string& path, const std::string& kept,
                                    const Scope& scope = {});
    // The outcome an errno of a failed look or removal stands for (Gone, PermissionDenied or
    // Failed).
    static Outcome outcomeOfError(int error);
};

}  // namespace quillby
