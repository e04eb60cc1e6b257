#include "diskusage/NodeTreeOperator.h"

#include <sys/stat.h>
#include <algorithm>
#include <mutex>

#include "diskusage/TreeScan.h"

namespace {

class ItemTreeBuilder {
  public:
    using Node = FSNode;

    ItemTreeBuilder(std::uint64_t limit, const NodeTreeOperator::Progress* progress)
        : limit_(limit), progress_(progress) {}

    std::string_view nameOf(const Node& node) const { return node.storedName(); }

    void addFolders(Node& parent, const std::vector<std::string_view>& names,
                    std::vector<Node*>& out) {
        parent.children.reserve(parent.children.size() + names.size());
        for (std::string_view name : names) {
            parent.children.push_back(FSNode::childNamed(name, true, &parent));
            out.push_back(parent.children.back().get());
        }
    }

    // The node's children are its folders, all finished: the folder's size is known and those
    // below the limit can go, except unreadable ones (their size says nothing).
    void finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&& files) {
        std::uint64_t total = fileBytes;
        for (const auto& child : node.children) total += child->size;
        node.size = total;
        std::erase_if(node.children, [this](const auto& child) {
            return child->size < limit_ && !child->unreadable;
        });
        for (auto& file : files) {
            node.children.push_back(FSNode::childNamed(file.name, false, &node));
            node.children.back()->size = file.size;
        }
        std::sort(node.children.begin(), node.children.end(),
                  [](const auto& a, const auto& b) { return FSNode::compareSize(*a, *b); });
    }

    std::uint64_t sizeOf(const Node& node) const { return node.size; }
    void markUnreadable(Node& node) { node.unreadable = true; }

    void topLevelCounted(std::int64_t folders) {
        if (progress_ && progress_->total) progress_->total(folders);
    }

    void topLevelFolderFinished() {
        std::lock_guard lock(progressMutex_);
        if (progress_ && progress_->step) progress_->step();
    }

  private:
    std::uint64_t limit_;
    const NodeTreeOperator::Progress* progress_;
    std::mutex progressMutex_;
};

}  // namespace

NodeTreeOperator::NodeTreeOperator(TreeScanOptions options) : options_(options) {}

std::uint64_t NodeTreeOperator::scan(const std::string& path, FSNode& root, std::uint64_t limit,
                                     const Progress* progress) {
    if (options_.shouldStop && options_.shouldStop()) return 0;
    // The walk fills a node of its own, so that items already in `root` are left as they are.
    FSNode folder(path, true, nullptr);
    EntryRules rules;
    rules.keepFilesFrom = limit;
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

std::uint64_t NodeTreeOperator::getFistListTree(const std::string& path, FSNode& root,
                                                std::uint64_t limit) {
    if (options_.shouldStop && options_.shouldStop()) return 0;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
        auto size = status.st_size < 0 ? 0 : static_cast<std::uint64_t>(status.st_size);
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
