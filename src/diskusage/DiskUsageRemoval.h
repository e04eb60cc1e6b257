#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class PrivilegedAuthorization;

// What became of one item a removal was asked for.
struct DiskUsageRemovalResult {
    enum class Outcome {
        Removed,   // it is gone
        Vanished,  // it was already gone: nothing to do, nothing to report
        Refused,   // never removable from the disk-usage pages (see DiskUsageRemoval::refusal)
        Failed,    // something in it could not be deleted
    };
    std::string path;
    Outcome outcome = Outcome::Failed;
    // The errno of the first entry that could not be deleted (0 for a refusal).
    int error = 0;
    // Why it was refused or failed, for the user ("Permission denied", "a mount point").
    std::string reason;
    // It failed for want of permission: a retry with administrator rights may remove it.
    bool needsAdministrator = false;

    bool gone() const { return outcome == Outcome::Removed || outcome == Outcome::Vanished; }
};

// Removal of items the user picked in a disk-usage page (the ring page's selection, the column
// browser's checked items). The selection is first reduced to its minimal cover, so that nothing
// is removed or counted twice. `/`, mount points, the home folder itself (and the folders that
// hold it) and the top-level folders are refused. Everything else goes through the shared
// deleting walk with the user's own rights: links are removed as links, other file systems are
// never entered, folders get back no more than their owner's rights. Existence is judged
// without following links, so a dangling link is removed like any other item.
//
// removeItems and removeWithAdministratorRights read and delete a whole tree: call them on a
// worker, never on the GUI thread.
class DiskUsageRemoval {
  public:
    struct Guard {
        // The user's home folder; empty: the platform context's.
        std::string homeFolder;
        // Whether a path is the root of a mount; empty: asked of the file system.
        std::function<bool(const std::string& path)> isMountPoint;
    };

    DiskUsageRemoval();
    explicit DiskUsageRemoval(Guard guard);

    // The paths without duplicates and without any path that lies inside another of them, in
    // their first order. Trailing "/" are dropped ("/a/b/" is "/a/b").
    static std::vector<std::string> minimalCover(const std::vector<std::string>& paths);

    // Why the item at `path` must not be removed from these pages, or nothing when it may.
    std::optional<std::string> refusal(const std::string& path) const;

    // Removes the minimal cover of `paths` one by one and says what became of each (in the
    // cover's order). A failure keeps the errno of the first entry that could not go.
    std::vector<DiskUsageRemovalResult> removeItems(const std::vector<std::string>& paths) const;

    // Removes the items again with administrator rights through the privileged helper, asking
    // for the rights first when none are held (the user may be asked for a password). Refusals
    // stay refused. When the rights are not given every item fails with that reason.
    std::vector<DiskUsageRemovalResult> removeWithAdministratorRights(
        const std::vector<std::string>& paths, PrivilegedAuthorization& rights) const;

  private:
    // The result for a path that is refused or already gone; nothing when it is to be removed.
    std::optional<DiskUsageRemovalResult> settledWithoutRemoving(const std::string& path) const;
    DiskUsageRemovalResult removeOne(const std::string& path) const;

    Guard guard_;
};
