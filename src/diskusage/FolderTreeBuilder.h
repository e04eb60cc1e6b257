// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

#include "diskusage/EntryRules.h"
#include "diskusage/FileSizes.h"
#include "diskusage/RingFolderNode.h"

namespace quillby {

// Makes the ring chart's folder tree from a walk's findings (see TreeScan): one node per
// folder, a folder's size its files' bytes plus its subfolders' sizes, children sorted largest
// first and equal sizes by name. A scan and a scan file read back build through it alike.
class FolderTreeBuilder {
  public:
    using Node = RingFolderNode;

    // The entries the folder tree takes in: names ending in "." are left out, and so is a
    // folder named "Volumes" directly in the scanned folder.
    static EntryRules rules();

    std::string_view nameOf(const Node& node) const { return node.name(); }
    void addFolders(Node& parent, const std::vector<std::string_view>& names,
                    std::vector<Node*>& out);
    void finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&& files);
    std::uint64_t sizeOf(const Node& node) const { return static_cast<std::uint64_t>(node.size); }
    void markUnreadable(Node& node) { node.unreadable = true; }
    void markExcluded(Node& node) { node.excluded = true; }

    // Publishes "GetDirTotalLevel" with the number of top-level folders.
    void topLevelCounted(std::int64_t folders);
    // Publishes "NeedUpdateProgress", one at a time.
    void topLevelFolderFinished();

  private:
    std::mutex progressMutex_;
};

}  // namespace quillby
