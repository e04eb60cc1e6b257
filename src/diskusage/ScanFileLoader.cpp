// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ScanFileLoader.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "core/fs/PathRules.h"
#include "diskusage/FolderTreeBuilder.h"
#include "diskusage/ItemTreeBuilder.h"

namespace quillby {

namespace {

constexpr std::uint64_t kStopCheckItems = 4096;
// RingFolderNode keeps sizes signed.
constexpr std::uint64_t kMaxTotalBytes = std::numeric_limits<std::int64_t>::max();

std::unique_ptr<RingFolderNode> makeRoot(std::string_view path, RingFolderNode*) {
    return RingFolderNode::makeRoot(path);
}

std::unique_ptr<FSNode> makeRoot(std::string_view path, FSNode*) {
    return std::make_unique<FSNode>(std::string(withoutTrailingSlashes(path)), true, nullptr);
}

// Feeds a file's items to a tree's builder the way a scan feeds it a folder's findings.
template <class Builder>
class TreeImport : public ScanFileSink {
  public:
    using Node = typename Builder::Node;

    TreeImport(Builder& builder, EntryRules rules, const ScanFileLoadOptions& options)
        : builder_(builder), rules_(std::move(rules)), options_(options) {}

    void header(const ScanFileMetadata& metadata) override { metadata_ = metadata; }

    bool enterFolder(const ScanFileEntry& folder) override {
        if (!goOn()) return false;
        if (skipping_ > 0) {
            ++skipping_;
            return true;
        }
        Node* node = nullptr;
        if (!root_) {
            root_ = makeRoot(folder.name, static_cast<Node*>(nullptr));
            node = root_.get();
        } else {
            if (!rules_.accepts(folder.name, true, levels_.size() == 1)) {
                skipping_ = 1;
                return true;
            }
            names_.assign(1, folder.name);
            made_.clear();
            builder_.addFolders(*levels_.back().node, names_, made_);
            node = made_.front();
        }
        if (folder.readError) {
            builder_.markUnreadable(*node);
            ++unreadable_;
        }
        // ncdu's word for what the user's exclusions left out.
        if (folder.excluded == "pattern") builder_.markExcluded(*node);
        if (options_.counters) options_.counters->folders.fetch_add(1, std::memory_order_relaxed);
        levels_.push_back({node, 0, {}});
        return true;
    }

    bool addFile(const ScanFileEntry& file) override {
        if (!goOn()) return false;
        if (skipping_ > 0 || !rules_.accepts(file.name, false, levels_.size() == 1)) return true;
        Level& level = levels_.back();
        total_ += file.apparentBytes;
        if (file.apparentBytes > kMaxTotalBytes || total_ > kMaxTotalBytes) {
            refusal = "sizes that add up to more than 2^63 bytes";
            return false;
        }
        level.fileBytes += file.apparentBytes;
        if (rules_.keepFilesFrom && file.apparentBytes >= *rules_.keepFilesFrom) {
            level.kept.push_back(
                {std::string(file.name), file.apparentBytes, file.diskBytes, file.apparentBytes});
        }
        if (options_.counters) {
            options_.counters->files.fetch_add(1, std::memory_order_relaxed);
            options_.counters->bytes.fetch_add(file.apparentBytes, std::memory_order_relaxed);
        }
        return true;
    }

    bool leaveFolder() override {
        if (skipping_ > 0) {
            --skipping_;
            return true;
        }
        Level level = std::move(levels_.back());
        levels_.pop_back();
        builder_.finish(*level.node, level.fileBytes, std::move(level.kept));
        return true;
    }

    LoadedTree<Node> result(const ScanFileReader::Result& read) {
        LoadedTree<Node> loaded;
        loaded.outcome = read.outcome;
        loaded.message = read.message;
        loaded.readError = read.readError;
        loaded.origin.imported = true;
        loaded.origin.metadata = metadata_;
        loaded.unreadableFolders = unreadable_;
        if (read.outcome == ScanFileReader::Outcome::Read) loaded.root = std::move(root_);
        return loaded;
    }

  private:
    struct Level {
        Node* node;
        std::uint64_t fileBytes;
        std::vector<KeptFile> kept;
    };

    bool goOn() {
        if (++items_ % kStopCheckItems == 0 && options_.shouldStop && options_.shouldStop()) {
            stopped = true;
            return false;
        }
        return true;
    }

    Builder& builder_;
    EntryRules rules_;
    const ScanFileLoadOptions& options_;
    ScanFileMetadata metadata_;
    std::unique_ptr<Node> root_;
    std::vector<Level> levels_;
    std::size_t skipping_ = 0;  // depth inside a folder the tree leaves out
    std::uint64_t total_ = 0;
    std::uint64_t items_ = 0;
    std::uint64_t unreadable_ = 0;
    std::vector<std::string_view> names_;
    std::vector<Node*> made_;
};

template <class Builder>
LoadedTree<typename Builder::Node> load(ByteSource& source, Builder& builder, EntryRules rules,
                                        const ScanFileLoadOptions& options) {
    TreeImport<Builder> import(builder, std::move(rules), options);
    auto read = ScanFileReader(source, options.limits).read(import);
    return import.result(read);
}

template <class Node, class Load>
LoadedTree<Node> loadPath(const std::string& path, Load loadSource) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        LoadedTree<Node> failed;
        failed.outcome = ScanFileReader::Outcome::ReadFailed;
        failed.readError = errno;
        failed.message = std::string("cannot open: ") + std::strerror(errno);
        return failed;
    }
    DescriptorSource source(fd);
    LoadedTree<Node> loaded = loadSource(source);
    ::close(fd);
    return loaded;
}

}  // namespace

LoadedTree<RingFolderNode> ScanFileLoader::loadFolderTree(ByteSource& source,
                                                          const ScanFileLoadOptions& options) {
    FolderTreeBuilder builder;
    return load(source, builder, FolderTreeBuilder::rules(), options);
}

LoadedTree<FSNode> ScanFileLoader::loadItemTree(ByteSource& source, std::uint64_t limit,
                                                const ScanFileLoadOptions& options) {
    ItemTreeBuilder builder(limit, nullptr);
    return load(source, builder, ItemTreeBuilder::rules(limit), options);
}

LoadedTree<RingFolderNode> ScanFileLoader::loadFolderTree(const std::string& path,
                                                          const ScanFileLoadOptions& options) {
    return loadPath<RingFolderNode>(
        path, [&](ByteSource& source) { return loadFolderTree(source, options); });
}

LoadedTree<FSNode> ScanFileLoader::loadItemTree(const std::string& path, std::uint64_t limit,
                                                const ScanFileLoadOptions& options) {
    return loadPath<FSNode>(
        path, [&](ByteSource& source) { return loadItemTree(source, limit, options); });
}

}  // namespace quillby
