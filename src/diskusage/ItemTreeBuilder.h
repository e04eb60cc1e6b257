// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "diskusage/EntryRules.h"
#include "diskusage/FSNode.h"
#include "diskusage/FileSizes.h"

namespace quillby {

// Makes the column browser's item tree from a walk's findings (see TreeScan): a node per folder
// and per file at or above the limit, a folder's size counting every item below it, kept or
// dropped. A scan and a scan file read back build through it alike.
class ItemTreeBuilder {
  public:
    using Node = FSNode;
    // The top-level folder count, then one step as each of them is finished.
    struct Progress {
        std::function<void(std::int64_t folders)> total;
        std::function<void()> step;
    };

    // The entries the item tree takes in: all of them, files of at least `limit` bytes by name.
    static EntryRules rules(std::uint64_t limit);

    ItemTreeBuilder(std::uint64_t limit, const Progress* progress)
        : limit_(limit), progress_(progress) {}

    std::string_view nameOf(const Node& node) const { return node.storedName(); }
    void addFolders(Node& parent, const std::vector<std::string_view>& names,
                    std::vector<Node*>& out);
    // The node's children are its folders, all finished: the folder's size is known and those
    // below the limit can go, except unreadable and excluded ones (their size says nothing).
    // Then the kept files join and everything is sorted.
    void finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&& files);
    std::uint64_t sizeOf(const Node& node) const { return node.size; }
    void markUnreadable(Node& node) { node.unreadable = true; }
    void markExcluded(Node& node) { node.excluded = true; }

    void topLevelCounted(std::int64_t folders);
    void topLevelFolderFinished();

  private:
    std::uint64_t limit_;
    const Progress* progress_;
    std::mutex progressMutex_;
};

}  // namespace quillby
