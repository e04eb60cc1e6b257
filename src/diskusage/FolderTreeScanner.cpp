#include "diskusage/FolderTreeScanner.h"

#include <algorithm>
#include <mutex>

#include "core/EventBus.h"
#include "core/Events.h"
#include "diskusage/TreeScan.h"

namespace {

class FolderTreeBuilder {
  public:
    using Node = W32AllDir;

    std::string_view nameOf(const Node& node) const { return node.name(); }

    void addFolders(Node& parent, const std::vector<std::string_view>& names,
                    std::vector<Node*>& out) {
        parent.children.reserve(names.size());
        for (std::string_view name : names) {
            parent.children.push_back(parent.makeChild(name));
            out.push_back(parent.children.back().get());
        }
    }

    void finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&&) {
        std::uint64_t total = fileBytes;
        for (const auto& child : node.children) {
            if (child) total += static_cast<std::uint64_t>(child->size);
        }
        node.size = static_cast<std::int64_t>(total);
        if (node.sortFlag == 1) {
            std::sort(node.children.begin(), node.children.end(), isLargerFolder);
        }
    }

    std::uint64_t sizeOf(const Node& node) const { return static_cast<std::uint64_t>(node.size); }
    void markUnreadable(Node& node) { node.unreadable = true; }

    void topLevelCounted(std::int64_t folders) {
        EventBus::defaultCenter().post(Events::GetDirTotalLevel, {},
                                       {{EventKeys::DirLevels, folders}});
    }

    void topLevelFolderFinished() {
        // Observers see one step at a time, as from a single worker.
        std::lock_guard lock(progressMutex_);
        EventBus::defaultCenter().post(Events::NeedUpdateProgress);
    }

  private:
    std::mutex progressMutex_;
};

}  // namespace

FolderTreeScanner::FolderTreeScanner(TreeScanOptions options) : options_(options) {}

std::int64_t FolderTreeScanner::scanFolder(W32AllDir& node, const std::string& path,
                                           bool topLevel) {
    EntryRules rules;
    rules.skipTrailingPeriod = true;
    rules.skipVolumesAtTop = true;
    FolderTreeBuilder builder;
    TreeScan<FolderTreeBuilder> scan(builder, rules, options_);
    return static_cast<std::int64_t>(scan.run(node, path, topLevel));
}
