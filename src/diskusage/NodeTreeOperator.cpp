// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/NodeTreeOperator.h"

#include <sys/stat.h>

#include "diskusage/ItemTreeBuilder.h"
#include "diskusage/TreeScan.h"

namespace quillby {

NodeTreeOperator::NodeTreeOperator(TreeScanOptions options) : options_(options) {}

std::uint64_t NodeTreeOperator::scan(const std::string& path, FSNode& root, std::uint64_t limit,
                                     const Progress* progress) {
    if (options_.shouldStop && options_.shouldStop()) return 0;
    // The walk fills a node of its own, so that items already in `root` are left as they are.
    FSNode folder(path, true, nullptr);
    EntryRules rules = ItemTreeBuilder::rules(limit);
    ItemTreeBuilder builder(limit, progress);
    TreeScan<ItemTreeBuilder> walk(builder, rules, options_);
    std::uint64_t total = walk.run(folder, path, progress != nullptr);
    root.unreadable = root.unreadable || folder.unreadable;
    // Under a root that stands for another folder, the items keep the paths they really have.
    bool elsewhere = root.path() != folder.path();
    for (auto& child : folder.children) {
        if (elsewhere) child->setWholePath(child->path());
        child->father = &root;
        root.children.push_back(std::move(child));
    }
    return total;
}

std::uint64_t NodeTreeOperator::getFirstListTree(const std::string& path, FSNode& root,
                                                 std::uint64_t limit) {
    if (options_.shouldStop && options_.shouldStop()) return 0;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
        auto size = SizeMeasure(options_.scope.allocatedSize).bytesOf(status);
        if (size < limit) return 0;
        root.children.push_back(std::make_unique<FSNode>(path, false, &root));
        root.children.back()->size = size;
        return size;
    }
    return scan(path, root, limit, nullptr);
}

std::unique_ptr<FSNode> NodeTreeOperator::buildBrowserTree(const std::string& path,
                                                           std::uint64_t limit,
                                                           const Progress& progress) {
    auto root = std::make_unique<FSNode>(path, true, nullptr);
    root->size = scan(path, *root, limit, &progress);
    root->decendingSort();
    return root;
}

}  // namespace quillby
