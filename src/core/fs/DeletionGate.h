// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/fs/EntryJudge.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/RemovalOutcome.h"
#include "core/fs/TreeRemover.h"

namespace quillby {

// The one way anything in the program is deleted or moved to the trash. An item is reached from
// a trusted folder (opened by the caller from a place the user chose) by a relative path, one
// component at a time without following any link; the item found must still be the one that
// was listed (same disk and inode); it is judged by what it is, never by how its path is
// spelled: "/" and the folders directly in it, the operating system's own folders and all they
// hold, the user's home and the folders holding it, mount points and other users' homes are
// refused. Only then is it moved to the trash or deleted, without following a link below it and
// without entering another file system.
//
// Reads and deletes whole trees: call it on a worker, never on the GUI thread. One gate may
// serve several threads.
class DeletionGate {
  public:
    enum class Disposal {
        Trash,   // moved to the user's trash on the item's volume, so it can be put back
        Delete,  // deleted for good
    };

    struct Options {
        // The folder whose own system folders are protected: "/" (a fixture root in tests).
        std::string systemRoot = "/";
        // The caller's home folder (links followed: it may sit behind one); empty for none.
        std::string home;
        // The user asking: an account's home is "another user's" unless it is theirs.
        uid_t caller = 0;
        // Protect every account's home folder as a whole (read from the user database).
        bool protectAccountHomes = true;
        // Further homes protected as a whole, with their owners (fixture accounts in tests).
        std::vector<std::pair<std::string, uid_t>> accountHomes;
        // With Disposal::Trash: the user's data folder ($XDG_DATA_HOME), whose Trash takes what
        // lies on its disk; items elsewhere go to their own volume's trash.
        std::string dataHome;
        // Asked again at every level of a deleting walk; none: everything inside goes.
        const EntryJudge* judge = nullptr;
        // Give the owner back the rights on a folder needed to empty it (off for the helper).
        bool resetPermissions = true;
        // Folders inside the system's own folders, relative to systemRoot, whose contents may go
        // after all (a clean category's fixed folder such as var/lib/systemd/coredump); each
        // folder itself stays protected.
        std::vector<std::string> releasedSystemFolders;
    };

    // Reads the identities of the protected folders once.
    explicit DeletionGate(Options options);

    // Removes the item `relativePath` (components separated by "/", no empty, "." or ".."
    // component) below the open folder `root`, whose path `rootPath` names it in outcomes and in
    // the trash's description. `listed`, when given, is the identity the item was listed with.
    RemovalOutcome remove(const FolderHandle& root, const std::string& rootPath,
                          std::string_view relativePath, std::optional<ItemIdentity> listed,
                          Disposal disposal) const;

    // Removes the item at the absolute `path`, which must be `chosenFolder` or lie inside it:
    // the chosen folder is opened as it is (links followed: the user chose it), everything below
    // it without links. With an empty chosenFolder nothing on the way may be a link.
    RemovalOutcome removeInside(const std::string& chosenFolder, const std::string& path,
                                std::optional<ItemIdentity> listed, Disposal disposal) const;

    // Removes the entry `name` of the open folder `parent` (its path `parentPath`), while it is
    // still the item `listed`; the caller answers for how the folder was reached.
    RemovalOutcome removeEntryOf(const FolderHandle& parent, const std::string& parentPath,
                                 const std::string& name, std::optional<ItemIdentity> listed,
                                 Disposal disposal) const;

    // Judges the entry `name` of the open folder `parent` as removeEntryOf would, changing
    // nothing: its refusal, vanishing or failure to be reached, or nothing when it may go.
    std::optional<RemovalOutcome> judgeEntryOf(const FolderHandle& parent,
                                               const std::string& parentPath,
                                               const std::string& name,
                                               std::optional<ItemIdentity> listed) const;

    // Puts the entry `standIn` of `parent`, while it is still the regular file `made`, in the
    // place of the entry `name`, while that is still the item `listed` and may be removed: the
    // one rename by which a copy gives way to a link to another file. Removed when done; any
    // other outcome leaves both entries as they were.
    RemovalOutcome replaceEntryOf(const FolderHandle& parent, const std::string& parentPath,
                                  const std::string& name, std::optional<ItemIdentity> listed,
                                  const std::string& standIn, ItemIdentity made) const;

    // Deletes the entry `name` of the folder `parent` that a category's walk reached without
    // links (at `depth`, judged `verdict`), as far as the options' judge lets go at every level
    // below. An entry the gate refuses is kept on purpose (keptSome), like a mount inside it.
    RemovalReport removeJudged(const FolderHandle& parent, const std::string& parentPath,
                               const std::string& name, EntryVerdict verdict, int depth) const;

    // Judges the item as removeInside would, changing nothing: its refusal, vanishing or
    // failure to be reached, or nothing when it may go.
    std::optional<RemovalOutcome> judgeInside(const std::string& chosenFolder,
                                              const std::string& path,
                                              std::optional<ItemIdentity> listed) const;

    // Why the entry `name` of the open folder `parent`, whose status is `item`, must not be
    // removed; nothing when it may.
    std::optional<RefusalRule> refusalFor(const FolderHandle& parent, const char* name,
                                          const EntryStatus& item) const;

    const Options& options() const { return options_; }

  private:
    // With no disposal the item is only judged: nothing comes back when it may go.
    std::optional<RemovalOutcome> walk(const FolderHandle& root, const std::string& rootPath,
                                       std::string_view relativePath,
                                       std::optional<ItemIdentity> listed,
                                       const Disposal* disposal) const;
    std::optional<RemovalOutcome> walkInside(const std::string& chosenFolder,
                                             const std::string& path,
                                             std::optional<ItemIdentity> listed,
                                             const Disposal* disposal) const;
    std::optional<RemovalOutcome> removeEntry(const FolderHandle& parent,
                                              const std::string& parentPath,
                                              const std::string& name,
                                              std::optional<ItemIdentity> listed,
                                              const Disposal* disposal) const;
    RemovalOutcome deleteEntry(const FolderHandle& parent, const std::string& parentPath,
                               const std::string& name, std::string path) const;
    RemovalOutcome trashEntry(const FolderHandle& parent, const std::string& name,
                              std::string path) const;
    bool liesInSystemFolder(const FolderHandle& parent) const;

    Options options_;
    std::optional<ItemIdentity> root_;
    std::vector<ItemIdentity> systemFolders_;
    // usr/local, run/media and the released folders: not the system's own
    std::vector<ItemIdentity> userFolders_;
    std::optional<ItemIdentity> home_;
    std::vector<ItemIdentity> holdingHome_;
    std::vector<std::pair<ItemIdentity, uid_t>> accountHomes_;
    std::vector<ItemIdentity> holdingAccountHomes_;
    bool unusable_ = false;  // the protected folders could not be read: nothing may go
};

// True when the user may add and remove the entries of `folder` (write and search rights on the
// folder itself; its parent does not matter). Root may always.
bool userMayChangeFolder(const std::string& folder);

// The identity of an entry's status.
inline ItemIdentity identityOf(const EntryStatus& status) {
    return {status.device, status.inode};
}

}  // namespace quillby
