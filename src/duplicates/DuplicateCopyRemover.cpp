// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateCopyRemover.h"

#include "duplicates/CopyToKeep.h"

namespace quillby {

using Outcome = DuplicateRemoval::Outcome;

DuplicateCopyRemover::DuplicateCopyRemover(RecordListener listener)
    : listener_(std::move(listener)) {}

bool DuplicateCopyRemover::isBundleGroup(const TreeNode& group) {
    return group.nodeData()->extendName == "APP" && group.numberOfChildren() > 0 &&
           !group.firstChild()->nodeData()->ModificationDate;
}

bool DuplicateCopyRemover::operator()(const TreeNode::Ptr& member, const TreeNode::Ptr& group) {
    CopyRemovalRecord record;
    record.path = member->nodeData()->name;
    TreeNode::Ptr kept = keptMemberOf(group);
    if (!kept) {
        // Without a member that stays there is nothing to compare with, and nothing left after.
        record.outcome = Outcome::LastCopy;
        record.detail = "it is the last copy of its group";
    } else {
        const std::string& keptPath = kept->nodeData()->name;
        // One gate for the whole removal, made on the deleting worker at its first copy.
        if (!gate_) gate_.emplace(DuplicateRemoval::removalGate());
        DuplicateRemoval::Scope scope(searched_, &*gate_);
        DuplicateRemoval::Result result;
        if (isBundleGroup(*group)) {
            result = privileged_
                         ? DuplicateRemoval::Result{Outcome::PermissionDenied,
                                                    "bundles are not removed as "
                                                    "administrator"}
                         : DuplicateRemoval::removeVerifiedBundle(record.path, keptPath, scope);
        } else if (privileged_) {
            result = DuplicateRemoval::checkVerifiedCopy(record.path, keptPath, scope);
            if (result.outcome == Outcome::Removed && !privileged_(record.path)) {
                result = {Outcome::Failed, "the removal with administrator rights failed"};
            }
        } else {
            result = DuplicateRemoval::removeVerifiedCopy(record.path, keptPath, scope);
        }
        record.outcome = result.outcome;
        record.detail = std::move(result.detail);
        if (result.outcome == Outcome::Removed && !result.otherNamesRemain) {
            record.freed = member->nodeData()->fileSize;
        }
    }
    records_.push_back(record);
    if (listener_) listener_(records_.back());
    return record.outcome == Outcome::Removed;
}

std::size_t DuplicateCopyRemover::removedCount() const {
    std::size_t removed = 0;
    for (const auto& record : records_) removed += record.outcome == Outcome::Removed ? 1 : 0;
    return removed;
}

std::uint64_t DuplicateCopyRemover::freedBytes() const {
    std::uint64_t bytes = 0;
    for (const auto& record : records_) bytes += record.freed;
    return bytes;
}

bool DuplicateCopyRemover::anyPermissionDenied() const {
    for (const auto& record : records_) {
        if (record.outcome == Outcome::PermissionDenied) return true;
    }
    return false;
}

std::string DuplicateCopyRemover::outcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Removed:
            return "removed";
        case Outcome::Differs:
            return "content differs";
        case Outcome::SameEntry:
            return "same directory entry";
        case Outcome::NotRegularFile:
            return "not a regular file";
        case Outcome::LastCopy:
            return "last copy";
        case Outcome::PermissionDenied:
            return "permission denied";
        case Outcome::Gone:
            return "gone";
        case Outcome::Refused:
            return "refused";
        case Outcome::Failed:
            break;
    }
    return "failed";
}

std::string DuplicateCopyRemover::reportLine(const CopyRemovalRecord& record) {
    std::string line = record.path + ": " + outcomeText(record.outcome);
    if (!record.detail.empty()) line += " (" + record.detail + ")";
    return line;
}

}  // namespace quillby
