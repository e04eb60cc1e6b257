// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/fs/DeletionGate.h"
#include "core/fs/RemovalOutcome.h"

namespace quillby {

class PrivilegedAuthorization;

// Removal of items the user picked in a disk-usage page (the ring page's selection, the column
// browser's checked items). The selection is first reduced to its minimal cover, so that nothing
// is removed or counted twice. Every item goes through the deletion gate from the scanned folder
// the user chose, with no link followed below it: `/`, the folders directly in it, the
// system's own folders, mount points, the home folder itself (and the folders that hold it) and
// other users' homes are refused by what they are. Existence is judged without following
// links, so a dangling link is removed like any other item.
//
// removeItems and removeWithAdministratorRights read and delete a whole tree: call them on a
// worker, never on the GUI thread.
class DiskUsageRemoval {
  public:
    struct Guard {
        // The user's home folder; empty: the platform context's.
        std::string homeFolder;
        // The scanned folder the items were found in; empty: "/" with no link on the way.
        std::string scanRoot;
    };

    DiskUsageRemoval();
    explicit DiskUsageRemoval(Guard guard);

    // The same removal for items found in the scanned folder `scanRoot`.
    DiskUsageRemoval withScanRoot(std::string scanRoot) const {
        return DiskUsageRemoval(Guard{guard_.homeFolder, std::move(scanRoot)});
    }

    // The paths without duplicates and without any path that lies inside another of them, in
    // their first order. Trailing "/" are dropped ("/a/b/" is "/a/b"); empty paths are dropped.
    static std::vector<std::string> minimalCover(const std::vector<std::string>& paths);

    // Removes the minimal cover of `paths` one by one and says what became of each (in the
    // cover's order).
    std::vector<RemovalOutcome> removeItems(const std::vector<std::string>& paths) const;

    // Removes the items again with administrator rights through the privileged helper, asking
    // for the rights first when none are held (the user may be asked for a password). Refusals
    // stay refused. When the rights are not given every item fails with that reason.
    std::vector<RemovalOutcome> removeWithAdministratorRights(
        const std::vector<std::string>& paths, PrivilegedAuthorization& rights) const;

    // The errno the column browser shows for the first item of `results` that is not gone:
    // ENOTSUP for a refusal (whose reason is logged), 0 when every item is gone.
    static int firstError(const std::vector<RemovalOutcome>& results);

  private:
    DeletionGate gate() const;

    Guard guard_;
};

}  // namespace quillby
