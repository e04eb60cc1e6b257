// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "core/fs/EntryJudge.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/RemovalOutcome.h"

namespace quillby {

// One entry a removal could not delete, with the errno that said why.
struct RemovalFailure {
    std::string path;
    int error = 0;

    // Refused for want of rights: administrator rights may remove it.
    bool wantsRights() const { return rightsMayOvercome(error); }
};

// What a removal did.
struct RemovalReport {
    static constexpr std::size_t kMaxFailures = 100;

    bool removed = false;   // the item is gone
    bool keptSome = false;  // something was kept on purpose (by the judge, or another disk)
    std::uint64_t removedEntries = 0;      // files, links and folders deleted
    std::vector<RemovalFailure> failures;  // the first kMaxFailures failures
    std::uint64_t failureCount = 0;

    bool failed() const { return failureCount > 0; }
    void addFailure(std::string path, int error);
};

// Deletes an item and what it holds, depth first, without ever following a link (a link is
// deleted as itself) and without entering another file system (a mount inside stays, and so
// does the folder holding it). With a judge, every entry at every level is judged again and
// only what it lets go is deleted; a folder stays when something inside it was kept.
class TreeRemover {
  public:
    struct Options {
        const EntryJudge* judge = nullptr;  // none: everything goes
        // Give the owner the rights on a folder that it needs to empty it (never more than
        // the owner's read, write and search rights). Off for the privileged helper.
        bool resetPermissions = true;
    };

    explicit TreeRemover(Options options);
    TreeRemover() : TreeRemover(Options{}) {}

    // Removes the entry `name` of the open folder `parent` (whose path is parentPath, used in
    // failures). `verdict` is the judge's answer for the entry itself, at `depth`.
    RemovalReport removeEntry(const FolderHandle& parent, const std::string& parentPath,
                              const std::string& name, EntryVerdict verdict, int depth) const;
    // Removes the item at an absolute path, every component of which must be a real folder. A
    // missing item counts as removed.
    RemovalReport removePath(const std::string& path) const;

  private:
    bool removeOne(const FolderHandle& parent, const std::string& parentPath, const char* name,
                   EntryVerdict verdict, int depth, RemovalReport& report) const;
    bool emptyFolder(const FolderHandle& folder, const std::string& path, EntryVerdict verdict,
                     int depth, RemovalReport& report) const;

    Options options_;
};

}  // namespace quillby
