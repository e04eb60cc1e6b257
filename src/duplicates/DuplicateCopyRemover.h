// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "duplicates/DuplicateRemoval.h"
#include "duplicates/TreeNode.h"

namespace quillby {

// One ticked member's removal, for the report.
struct CopyRemovalRecord {
    std::string path;
    DuplicateRemoval::Outcome outcome = DuplicateRemoval::Outcome::Failed;
    std::string detail;
    std::uint64_t freed = 0;  // bytes given back (0 for a name of a file that stays)
};

// Removes the ticked members of a duplicate review, the one way the page and the command line
// both use: a member goes only while an unticked member of its group stays, after comparing it
// with that copy immediately before (files byte for byte, bundle folders as whole trees).
// Every member tried is recorded with its outcome and reason. Use it as the review's
// MemberRemover on the deleting worker, then read the records once the deletion has ended.
class DuplicateCopyRemover {
  public:
    // Told each record as it is made (on the deleting worker).
    using RecordListener = std::function<void(const CopyRemovalRecord&)>;

    // Removes a path with administrator rights; true when it is gone.
    using PrivilegedRemoval = std::function<bool(const std::string& path)>;

    explicit DuplicateCopyRemover(RecordListener listener = {});
    // The retry with rights: each file is still compared with the copy that stays (as the
    // user, who may read both), and then removed by `removal`. Bundles are not retried.
    void setPrivilegedRemoval(PrivilegedRemoval removal) { privileged_ = std::move(removal); }

    // The folder that was searched: copies inside it are reached from it without links.
    void setSearchedFolder(std::string folder) { searched_ = std::move(folder); }

    // Removes `member` of `group`; true when it is gone.
    bool operator()(const TreeNode::Ptr& member, const TreeNode::Ptr& group);

    const std::vector<CopyRemovalRecord>& records() const { return records_; }
    std::size_t removedCount() const;
    std::size_t notRemovedCount() const { return records_.size() - removedCount(); }
    std::uint64_t freedBytes() const;
    // True when some member was refused only for want of rights: a retry with administrator
    // rights may remove it.
    bool anyPermissionDenied() const;

    // True for a group of bundle folders (compared as whole trees).
    static bool isBundleGroup(const TreeNode& group);
    // A short name for an outcome ("removed", "content differs", "same directory entry", "last
    // copy", "permission denied", "gone", ...).
    static std::string outcomeText(DuplicateRemoval::Outcome outcome);
    // "PATH: REASON" for a record that was not removed.
    static std::string reportLine(const CopyRemovalRecord& record);

  private:
    RecordListener listener_;
    PrivilegedRemoval privileged_;
    std::vector<CopyRemovalRecord> records_;
    std::string searched_;
    std::optional<DeletionGate> gate_;
};

}  // namespace quillby
