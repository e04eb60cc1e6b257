// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// The identity of each member, looked up by the member: a sorted array, a third of the size of
// a hash map, since a result holds tens of thousands of members.
class MemberIdentities {
  public:
    using Entry = std::pair<const TreeNode*, FileIdentity>;
    using const_iterator = std::vector<Entry>::const_iterator;

    MemberIdentities() = default;
    explicit MemberIdentities(std::vector<Entry> entries);
    MemberIdentities(std::initializer_list<Entry> entries)
        : MemberIdentities(std::vector<Entry>(entries)) {}

    const_iterator find(const TreeNode* member) const;
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

  private:
    std::vector<Entry> entries_;  // by member
};

// The identity of the file at an absolute path, its last component not followed; nothing when
// it cannot be read.
std::optional<FileIdentity> readFileIdentity(const std::string& path);

// Reads the identity of every member of every group of `tree` (members that cannot be read are
// left out). It looks at the disk: run it on a worker.
MemberIdentities readMemberIdentities(const TreeNode::Ptr& tree);

}  // namespace quillby
