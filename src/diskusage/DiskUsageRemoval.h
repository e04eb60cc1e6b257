// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/fs/DeletionGate.h"
#include "core/fs/RemovalOutcome.h"

namespace quillby {

class PrivilegedAuthorization;

// Removal of items the user picked in a disk-usage page (the ring page's selection, the column
// browser's checked items), to the trash or for good as the user chose. The selection is first
// reduced to its minimal cover, so that nothing is removed or counted twice. Every item goes
// through the deletion gate from the scanned folder the user chose, with no link followed below
// it: `/`, the folders directly in it, the system's own folders, mount points, the home folder
// itself (and the folders that hold it) and other users' homes are refused by what they are.
// Existence is judged without following links, so a dangling link is removed like any other
// item.
//
// Every removal reads and deletes or moves a whole tree: call it on a worker, never on the GUI
// thread.
class DiskUsageRemoval {
  public:
    using Disposal = DeletionGate::Disposal;
    // Removes one item with administrator rights.
    using PrivilegedRemover = std::function<RemovalOutcome(const std::string& path)>;

    struct Guard {
        // The user's home folder; empty: the platform context's.
        std::string homeFolder;
        // The scanned folder the items were found in; empty: "/" with no link on the way.
        std::string scanRoot;
        // The user's data folder, whose Trash takes what lies on its disk; empty: the platform
        // context's $XDG_DATA_HOME.
        std::string dataHome;
    };

    DiskUsageRemoval();
    explicit DiskUsageRemoval(Guard guard);

    // The same removal for items found in the scanned folder `scanRoot`.
    DiskUsageRemoval withScanRoot(std::string scanRoot) const {
        Guard guard = guard_;
        guard.scanRoot = std::move(scanRoot);
        return DiskUsageRemoval(std::move(guard));
    }

    // The paths without duplicates and without any path that lies inside another of them, in
    // their first order. Trailing "/" are dropped ("/a/b/" is "/a/b"); empty paths are dropped.
    static std::vector<std::string> minimalCover(const std::vector<std::string>& paths);

    // Removes one item and says what became of it.
    RemovalOutcome removeItem(const std::string& path, Disposal disposal) const;
    // Removes the minimal cover of `paths` one by one and says what became of each (in the
    // cover's order).
    std::vector<RemovalOutcome> removeItems(const std::vector<std::string>& paths,
                                            Disposal disposal) const;

    // Removes items with administrator rights through the privileged helper, one per call,
    // deleting them for good: the helper has no trash of the user's. The rights are asked for
    // at the first call only when none are held (the user may be asked for a password); when
    // they are not given every item fails with that reason. Refusals stay refused. Make one per
    // retry, so that a retry asks again.
    PrivilegedRemover privilegedRemover(PrivilegedAuthorization& rights) const;

    // This removal as a function of a path and a disposal, for the pages' removal steps.
    using PathRemover = std::function<RemovalOutcome(const std::string& path, Disposal disposal)>;
    PathRemover pathRemover() const;
    // Makes a privileged remover with the shared authorization, once per retry.
    std::function<PrivilegedRemover()> rightsRemover() const;
    // The same for the minimal cover of `paths`, in the cover's order.
    std::vector<RemovalOutcome> removeWithAdministratorRights(
        const std::vector<std::string>& paths, PrivilegedAuthorization& rights) const;

  private:
    DeletionGate gate() const;

    Guard guard_;
};

}  // namespace quillby
