// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "duplicates/TreeNode.h"

namespace quillby {

// Which file a member of a duplicate group is: several members may be names of one file (hard
// links, or one folder reached twice through a bind mount). Removing such a name frees nothing
// while another name of the file stays.
struct FileIdentity {
    dev_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t linkCount = 1;  // the names the file has, on the whole disk

    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
};

using MemberIdentities = std::unordered_map<const TreeNode*, FileIdentity>;

// The identity of the file at an absolute path, its last component not followed; nothing when
// it cannot be read.
std::optional<FileIdentity> readFileIdentity(const std::string& path);

// Reads the identity of every member of every group of `tree` (members that cannot be read are
// left out). It looks at the disk: run it on a worker.
MemberIdentities readMemberIdentities(const TreeNode::Ptr& tree);

}  // namespace quillby
