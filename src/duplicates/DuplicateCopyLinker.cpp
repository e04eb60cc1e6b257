// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateCopyLinker.h"

#include <cerrno>

#include "duplicates/CopyToKeep.h"
#include "duplicates/DuplicateCopyRemover.h"

namespace quillby {

using Outcome = CopyLinking::Outcome;

DuplicateCopyLinker::DuplicateCopyLinker(std::string searchedFolder, Options options,
                                         MemberIdentities identities)
    : searched_(std::move(searchedFolder)), options_(options), identities_(std::move(identities)) {}

std::optional<ItemIdentity> DuplicateCopyLinker::listed(const TreeNode& member) const {
    auto found = identities_.find(&member);
    if (found == identities_.end()) return std::nullopt;
    return ItemIdentity{found->second.device, found->second.inode};
}

RemovalOutcome DuplicateCopyLinker::outcomeOf(const CopyLinking::Result& result,
                                              const std::string& path) {
    RemovalOutcome outcome;
    outcome.path = path;
    switch (result.outcome) {
        case Outcome::Replaced:
        case Outcome::AlreadyLinked:
            outcome.kind = RemovalOutcome::Kind::Removed;
            outcome.removedEntries = result.outcome == Outcome::Replaced ? 1 : 0;
            outcome.detail = result.detail;
            return outcome;
        case Outcome::Gone:
            return RemovalOutcome::vanished(path);
        case Outcome::PermissionDenied:
        case Outcome::Failed:
            outcome = RemovalOutcome::failed(path, result.error != 0 ? result.error : EIO);
            outcome.detail = result.detail;
            return outcome;
        default:
            break;
    }
    // Kept by a check: a refusal with its reason.
    outcome.kind = RemovalOutcome::Kind::Refused;
    outcome.detail = result.detail;
    return outcome;
}

RemovalOutcome DuplicateCopyLinker::link(const TreeNode::Ptr& member) {
    const std::string& path = member->nodeData()->name;
    TreeNode* parent = member->nodeParent();
    TreeNode::Ptr group = parent ? parent->shared_from_this() : nullptr;
    TreeNode::Ptr kept = group ? keptMemberOf(group) : nullptr;
    if (!kept) return outcomeOf({Outcome::Refused, "it is the last copy of its group"}, path);
    if (DuplicateCopyRemover::isBundleGroup(*group)) {
        return outcomeOf({Outcome::Refused, "bundles are not replaced with links"}, path);
    }
    if (!gate_) gate_.emplace(DuplicateRemoval::removalGate());
    CopyLinking::Request request{options_.kind, options_.evenWithOtherOwnerOrMode, listed(*member),
                                 listed(*kept)};
    auto result = CopyLinking::replaceWithLink(path, kept->nodeData()->name, request,
                                               DuplicateRemoval::Scope(searched_, &*gate_));
    freed_ += result.bytesFreed;
    return outcomeOf(result, path);
}

}  // namespace quillby
