// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/MemberIdentity.h"

#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"

namespace quillby {

std::optional<FileIdentity> readFileIdentity(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    int error = 0;
    auto folder = FolderHandle::openLocation(slash == 0 ? "/" : path.substr(0, slash), error);
    if (!folder.isOpen()) return std::nullopt;
    auto status = entryStatusAt(folder.fd(), path.c_str() + slash + 1);
    if (!status) return std::nullopt;
    return FileIdentity{status->device, status->inode, status->linkCount};
}

MemberIdentities readMemberIdentities(const TreeNode::Ptr& tree) {
    MemberIdentities identities;
    if (!tree) return identities;
    for (const auto& group : tree->children()) {
        for (const auto& member : group->children()) {
            if (auto identity = readFileIdentity(member->nodeData()->name)) {
                identities[member.get()] = *identity;
            }
        }
    }
    return identities;
}

}  // namespace quillby
