// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <filesystem>
#include <memory>
#include <optional>

#include "clean/CleanRules.h"
#include "core/fs/FolderHandle.h"

namespace quillby {

// A folder a clean category covers, with the rule that says what in it may be deleted. The
// folder itself is never deleted.
struct CleanFolder {
    std::filesystem::path path;
    std::shared_ptr<const CleanRule> rule;
    // Where the way to the folder starts: a folder trusted as it is (the home, a volume's root,
    // the machine's /var). Every component from there to `path` is opened without following a
    // link, so a link planted on the way is refused rather than followed. Empty: the folder's
    // parent is the start.
    std::filesystem::path base;
    // The owner every component after `base` must have (the user's own folders); none: any.
    std::optional<uid_t> owner;
    // The first component after `base` is a folder shared by every user (a volume's `.Trash`):
    // it must be sticky, and need not belong to `owner`.
    bool sharedStickyStart = false;
    // The system category whose leftovers the privileged helper may clean; -1: a user category,
    // whose items never go through the helper.
    int privilegedCategory = -1;

    // Opens the folder for listing, checking every step from `base`. On failure the handle is
    // closed, `error` tells why (ELOOP a link, ENOTDIR not a folder, EPERM the wrong owner or a
    // shared folder that is not sticky) and, unless the folder is simply missing, a log line says
    // the folder is not used.
    FolderHandle open(int& error) const;
    // Opens the folder holding it the same way (a trash's `files` lives in the trash folder).
    FolderHandle openParent(int& error) const;
};

}  // namespace quillby
