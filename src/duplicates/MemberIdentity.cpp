#include "duplicates/MemberIdentity.h"

#include <string>

#include "core/EntryStatus.h"
#include "core/FolderHandle.h"

MemberIdentities readMemberIdentities(const TreeNode::Ptr& tree) {
    MemberIdentities identities;
    if (!tree) return identities;
    for (const auto& group : tree->children()) {
        for (const auto& member : group->children()) {
            const std::string& path = member->nodeData()->name;
            std::size_t slash = path.rfind('/');
            if (slash == std::string::npos) continue;
            int error = 0;
            auto folder =
                FolderHandle::openLocation(slash == 0 ? "/" : path.substr(0, slash), error);
            if (!folder.isOpen()) continue;
            auto status = entryStatusAt(folder.fd(), path.c_str() + slash + 1);
            if (!status) continue;
            identities[member.get()] = {status->device, status->inode, status->linkCount};
        }
    }
    return identities;
}
