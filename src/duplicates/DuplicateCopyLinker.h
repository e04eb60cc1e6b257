// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/fs/DeletionGate.h"
#include "core/fs/RemovalOutcome.h"
#include "duplicates/CopyLinking.h"
#include "duplicates/MemberIdentity.h"
#include "duplicates/TreeNode.h"

namespace quillby {

// Replaces the ticked members of a duplicate review with links to the copy that stays in their
// group (the first unticked member), the one way the page and the command line both use. Each
// member tried gives the outcome every removal reports with: Removed once its path holds the
// link, a refusal or failure with its reason in words otherwise. Call it on the working thread
// while the tree does not change.
class DuplicateCopyLinker {
  public:
    struct Options {
        LinkKind kind = LinkKind::Hard;
        bool evenWithOtherOwnerOrMode = false;
    };

    // `identities` are those the search read (see readMemberIdentities): a member that is no
    // longer that file is left alone.
    DuplicateCopyLinker(std::string searchedFolder, Options options, MemberIdentities identities);

    RemovalOutcome link(const TreeNode::Ptr& member);
    // What the replacements so far freed, as CopyLinking::Result::bytesFreed counts it.
    std::uint64_t bytesFreed() const { return freed_; }
    // The engine's verdict on the copy at `path` as a removal outcome.
    static RemovalOutcome outcomeOf(const CopyLinking::Result& result, const std::string& path);

  private:
    std::optional<ItemIdentity> listed(const TreeNode& member) const;

    std::string searched_;
    Options options_;
    MemberIdentities identities_;
    std::optional<DeletionGate> gate_;
    std::uint64_t freed_ = 0;
};

}  // namespace quillby
