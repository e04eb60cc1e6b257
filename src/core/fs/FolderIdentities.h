// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

namespace quillby {

// Folders a user named (to keep copies in, or to leave out of a walk), known by device and inode:
// another spelling of one (a link to it, "..", a bind mount) is the same folder, and a folder whose
// path merely starts with the same letters is another one.
class FolderIdentities {
  public:
    // Adds what `path` names, a link there followed (the user chose it); false when it cannot
    // be read.
    bool add(const std::string& path);
    bool empty() const { return identities_.empty(); }
    bool contains(dev_t device, ino_t inode) const;
    // True when a folder above `path` (an absolute path) is one of them. Each folder on the way
    // is read without following a link at its last component, so a link into one of them does
    // not count; the answers are kept, so a folder is read once. Reads the disk.
    bool holdsPath(const std::string& path) const;

  private:
    bool isOrIsBelow(const std::string& folder) const;

    std::set<std::pair<dev_t, ino_t>> identities_;
    mutable std::unordered_map<std::string, bool> known_;
};

}  // namespace quillby
