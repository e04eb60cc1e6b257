// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/fs/FolderIdentities.h"

namespace quillby {

struct ListedEntry;

// What a duplicate search leaves out while it walks: a PATH names a folder (or file), left out
// by its device and inode wherever the walk reaches it; a GLOB (holding "*", "?" or "[") is
// matched against each entry's name at any depth. What is left out is never opened.
class WalkExclusions {
  public:
    WalkExclusions() = default;
    // Paths that cannot be read are left out of the list and named by unreadable().
    explicit WalkExclusions(const std::vector<std::string>& excludes);

    // True when `text` is matched against names rather than taken as a path.
    static bool isGlob(std::string_view text);
    // True when an entry's device and inode are needed to judge it: listing must read them for
    // folders too.
    bool judgesIdentity() const { return !paths_.empty(); }
    // True when the entry is left out; its identity counts only when judgesIdentity().
    bool excludes(const ListedEntry& entry) const;
    bool excludesFolder(dev_t device, ino_t inode) const { return paths_.contains(device, inode); }
    const std::vector<std::string>& unreadable() const { return unreadable_; }

  private:
    std::vector<std::string> globs_;
    FolderIdentities paths_;
    std::vector<std::string> unreadable_;
};

}  // namespace quillby
