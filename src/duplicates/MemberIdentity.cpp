// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/MemberIdentity.h"

#include <algorithm>
#include <functional>

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

MemberIdentities::MemberIdentities(std::vector<Entry> entries) : entries_(std::move(entries)) {
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return std::less<>()(a.first, b.first); });
}

MemberIdentities::const_iterator MemberIdentities::find(const TreeNode* member) const {
    auto at = std::lower_bound(
        entries_.begin(), entries_.end(), member,
        [](const Entry& entry, const TreeNode* key) { return std::less<>()(entry.first, key); });
    return at != entries_.end() && at->first == member ? at : entries_.end();
}

MemberIdentities readMemberIdentities(const TreeNode::Ptr& tree) {
    if (!tree) return {};
    std::vector<MemberIdentities::Entry> entries;
    std::size_t members = 0;
    for (const auto& group : tree->nodeChildren()) members += group->numberOfChildren();
    entries.reserve(members);
    for (const auto& group : tree->nodeChildren()) {
        for (const auto& member : group->nodeChildren()) {
            if (auto identity = readFileIdentity(member->nodeData()->name)) {
                entries.emplace_back(member.get(), *identity);
            }
        }
    }
    return MemberIdentities(std::move(entries));
}

}  // namespace quillby
