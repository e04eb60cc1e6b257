// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateCopyRemover.h"

#include <cerrno>

#include "core/work/PrivilegedAuthorization.h"
#include "duplicates/CopyToKeep.h"

namespace quillby {

using Outcome = DuplicateRemoval::Outcome;

namespace {

constexpr const char* kLastCopy = "it is the last copy of its group";

// Why the engine kept a copy on purpose, in words ("content differs (...)").
std::string keptBecause(Outcome outcome, const std::string& detail) {
    const char* what = outcome == Outcome::Differs          ? "content differs"
                       : outcome == Outcome::SameEntry      ? "same directory entry"
                       : outcome == Outcome::NotRegularFile ? "not a regular file"
                                                            : nullptr;
    if (!what) return detail;
    return detail.empty() ? what : std::string(what) + " (" + detail + ")";
}

TreeNode::Ptr groupOf(const TreeNode::Ptr& member) {
    TreeNode* parent = member->nodeParent();
    return parent ? parent->shared_from_this() : nullptr;
}

}  // namespace

DuplicateCopyRemover::DuplicateCopyRemover(std::string searchedFolder)
    : searched_(std::move(searchedFolder)) {}

DuplicateCopyRemover::PrivilegedRemoval DuplicateCopyRemover::byHelper() {
    return [](const std::string& path) {
        auto& rights = PrivilegedAuthorization::sharedAuthorization();
        return (rights.isValidAuth() || rights.allocAuthorization()) && rights.removeItem(path);
    };
}

bool DuplicateCopyRemover::isBundleGroup(const TreeNode& group) {
    return group.nodeData()->isBundle && group.numberOfChildren() > 0 &&
           !group.firstChild()->nodeData()->ModificationDate;
}

RemovalOutcome DuplicateCopyRemover::outcomeOf(const DuplicateRemoval::Result& result,
                                               const std::string& path) {
    RemovalOutcome outcome;
    outcome.path = path;
    switch (result.outcome) {
        case Outcome::Removed:
            outcome.kind = RemovalOutcome::Kind::Removed;
            outcome.removedEntries = 1;
            return outcome;
        case Outcome::Trashed:
            outcome.kind = RemovalOutcome::Kind::Trashed;
            outcome.trashPath = result.trashPath;
            return outcome;
        case Outcome::Gone:
            return RemovalOutcome::vanished(path);
        case Outcome::PermissionDenied:
        case Outcome::Failed:
            outcome = RemovalOutcome::failed(
                path, result.error != 0
                          ? result.error
                          : (result.outcome == Outcome::PermissionDenied ? EACCES : EIO));
            outcome.detail = result.detail;
            return outcome;
        case Outcome::Differs:
        case Outcome::SameEntry:
        case Outcome::NotRegularFile:
        case Outcome::LastCopy:
        case Outcome::Refused:
            break;
    }
    // A copy kept by a check: no right can change that, so it is a refusal with its reason.
    outcome.kind = RemovalOutcome::Kind::Refused;
    outcome.detail = keptBecause(result.outcome, result.detail);
    return outcome;
}

DuplicateRemoval::Scope DuplicateCopyRemover::scopeFor(Disposal disposal) {
    // One gate for the whole removal, made on the removing worker at its first copy.
    if (!gate_) gate_.emplace(DuplicateRemoval::removalGate());
    return DuplicateRemoval::Scope(searched_, &*gate_, disposal);
}

RemovalOutcome DuplicateCopyRemover::remove(const TreeNode::Ptr& member, Disposal disposal) {
    const std::string& path = member->nodeData()->name;
    TreeNode::Ptr group = groupOf(member);
    TreeNode::Ptr kept = group ? keptMemberOf(group) : nullptr;
    // Without a member that stays there is nothing to compare with, and nothing left after.
    if (!kept) return outcomeOf({Outcome::LastCopy, kLastCopy}, path);
    const std::string& keptPath = kept->nodeData()->name;
    auto scope = scopeFor(disposal);
    return outcomeOf(isBundleGroup(*group)
                         ? DuplicateRemoval::removeVerifiedBundle(path, keptPath, scope)
                         : DuplicateRemoval::removeVerifiedCopy(path, keptPath, scope),
                     path);
}

RemovalOutcome DuplicateCopyRemover::removeWithRights(const TreeNode::Ptr& member,
                                                      const PrivilegedRemoval& removal) {
    const std::string& path = member->nodeData()->name;
    TreeNode::Ptr group = groupOf(member);
    TreeNode::Ptr kept = group ? keptMemberOf(group) : nullptr;
    if (!kept) return outcomeOf({Outcome::LastCopy, kLastCopy}, path);
    if (isBundleGroup(*group)) {
        return outcomeOf({Outcome::Refused, "bundles are not removed with administrator rights"},
                         path);
    }
    auto result = DuplicateRemoval::checkVerifiedCopy(path, kept->nodeData()->name,
                                                      scopeFor(Disposal::Delete));
    if (result.outcome == Outcome::Removed && !removal(path)) {
        result = {Outcome::Failed, "the removal with administrator rights failed"};
    }
    return outcomeOf(result, path);
}

}  // namespace quillby
