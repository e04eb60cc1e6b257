// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/FolderIdentities.h"

#include <sys/stat.h>

namespace quillby {

bool FolderIdentities::add(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    identities_.emplace(status.st_dev, status.st_ino);
    known_.clear();
    return true;
}

bool FolderIdentities::contains(dev_t device, ino_t inode) const {
    return identities_.contains({device, inode});
}

namespace {

// The folder holding `path`; empty for "/" and for a name without a folder.
std::string parentOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos || path == "/") return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool FolderIdentities::isOrIsBelow(const std::string& folder) const {
    if (auto known = known_.find(folder); known != known_.end()) return known->second;
    struct stat status {};
    bool inside = ::lstat(folder.c_str(), &status) == 0 && contains(status.st_dev, status.st_ino);
    if (!inside) {
        std::string parent = parentOf(folder);
        inside = !parent.empty() && isOrIsBelow(parent);
    }
    known_[folder] = inside;
    return inside;
}

bool FolderIdentities::holdsPath(const std::string& path) const {
    std::string folder = parentOf(path);
    return !identities_.empty() && !folder.empty() && isOrIsBelow(folder);
}

}  // namespace quillby
