// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/WalkExclusions.h"

#include <fnmatch.h>

#include "duplicates/FolderListing.h"

namespace quillby {

WalkExclusions::WalkExclusions(const std::vector<std::string>& excludes) {
    for (const std::string& exclude : excludes) {
        if (isGlob(exclude)) {
            globs_.push_back(exclude);
        } else if (!paths_.add(exclude)) {
            unreadable_.push_back(exclude);
        }
    }
}

bool WalkExclusions::isGlob(std::string_view text) {
    return text.find_first_of("*?[") != std::string_view::npos;
}

bool WalkExclusions::excludes(const ListedEntry& entry) const {
    for (const std::string& glob : globs_) {
        // No FNM_PATHNAME: a name holds no slash, and "*" matches a leading dot too.
        if (::fnmatch(glob.c_str(), entry.name.c_str(), 0) == 0) return true;
    }
    return judgesIdentity() && paths_.contains(entry.device, entry.inode);
}

}  // namespace quillby
