// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/fs/DeletionGate.h"
#include "core/fs/RemovalOutcome.h"
#include "duplicates/DuplicateRemoval.h"
#include "duplicates/TreeNode.h"

namespace quillby {

// Removes the ticked members of a duplicate review, the one way the page and the command line
// both use: a member goes only while an unticked member of its group stays, after comparing it
// with that copy immediately before (files byte for byte, bundle folders as whole trees). Each
// member tried gives the one outcome every removal reports with; the checks that keep a copy
// (content that differs, the last copy, one entry under two paths) are refusals whose reason
// says so in words. Call it on the removing worker while the tree does not change.
class DuplicateCopyRemover {
  public:
    using Disposal = DeletionGate::Disposal;
    // Removes a path with administrator rights; true when it is gone.
    using PrivilegedRemoval = std::function<bool(const std::string& path)>;

    // The folder that was searched: copies inside it are reached from it without links.
    explicit DuplicateCopyRemover(std::string searchedFolder = {});

    // Removes `member` (of its group), to the trash or for good.
    RemovalOutcome remove(const TreeNode::Ptr& member, Disposal disposal);
    // The retry with rights: the file is still compared with the copy that stays (as the user,
    // who may read both), and then removed by `removal`. Bundles are not retried.
    RemovalOutcome removeWithRights(const TreeNode::Ptr& member, const PrivilegedRemoval& removal);

    // The plan's items for removing `members`: item i is members[i] (its tag), with its path
    // and size. `Item` is the removal conversation's item, which the engine does not build on.
    template <class Item>
    static std::vector<Item> itemsFor(const std::vector<TreeNode::Ptr>& members) {
        std::vector<Item> items;
        for (std::size_t i = 0; i < members.size(); ++i) {
            items.push_back({members[i]->nodeData()->name, members[i]->nodeData()->fileSize, i});
        }
        return items;
    }
    // The removal through the privileged helper, asking for the rights first when none are held.
    static PrivilegedRemoval byHelper();
    // True for a group of bundle folders (compared as whole trees).
    static bool isBundleGroup(const TreeNode& group);
    // The engine's verdict on the copy at `path` as a removal outcome.
    static RemovalOutcome outcomeOf(const DuplicateRemoval::Result& result,
                                    const std::string& path);

  private:
    DuplicateRemoval::Scope scopeFor(Disposal disposal);

    std::string searched_;
    std::optional<DeletionGate> gate_;
};

}  // namespace quillby
