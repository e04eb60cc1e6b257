// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fs/DirectoryReader.h"
#include "core/fs/EntryStatus.h"
#include "core/work/WorkStealingPool.h"
#include "diskusage/EntryRules.h"
#include "diskusage/FileSizes.h"
#include "diskusage/SharedFolderHandle.h"
#include "diskusage/TreeScanOptions.h"

namespace quillby {

// The parallel folder walk behind both disk-usage trees. Every folder is one task on a
// work-stealing pool: it opens the folder relative to its parent's descriptor, reads it with
// getdents64, measures its files with fstatat (links never followed), makes its subfolders'
// nodes and queues them. A folder with many files hands its measuring out in slices to other
// threads. A folder is finished (sized, sorted, pruned by the builder) once everything below it
// is, so the result does not depend on which thread did what.
//
// The builder decides what a node is:
//   using Node;
//   std::string_view nameOf(const Node&);             name of a subfolder's node
//   void addFolders(Node&, const std::vector<std::string_view>&, std::vector<Node*>&);
//   void finish(Node&, std::uint64_t fileBytes, std::vector<KeptFile>&&);
//   std::uint64_t sizeOf(const Node&);
//   void markUnreadable(Node&);                       the folder could not be opened or read
//   void markExcluded(Node&);                         the folder is one the scope leaves unread
//   void topLevelCounted(std::int64_t folders);       the scanned folder's subfolders, once
//   void topLevelFolderFinished();                    after each of them is finished
// addFolders and finish are called for one node at a time, never concurrently for one node.
template <class Builder>
class TreeScan {
  public:
    using Node = typename Builder::Node;

    TreeScan(Builder& builder, const EntryRules& rules, const TreeScanOptions& options)
        : builder_(builder),
          rules_(rules),
          options_(options),
          measure_(options.scope.allocatedSize) {}

    // Fills `root` from the folder at `path` and returns its total. With `topLevel` the
    // builder hears of the root's subfolders and the top-level rules apply.
    std::uint64_t run(Node& root, const std::string& path, bool topLevel) {
        rootPath_ = path;
        topLevel_ = topLevel;
        SharedFolderHandle::measureBudget();
        auto* folder = new Folder{&root, nullptr};
        {
            WorkStealingPool pool(options_.threads ? options_.threads
                                                   : WorkStealingPool::defaultThreadCount());
            pool_ = &pool;
            if (options_.highlights) options_.highlights->prepare(pool.threadCount());
            pool.submit([this, folder](unsigned worker) { scanFolder(folder, nullptr, worker); });
            pool.wait();
            pool_ = nullptr;
        }
        return builder_.sizeOf(root);
    }

  private:
    // A folder while the walk is inside it; gone once it is finished.
    struct Folder {
        Node* node;
        Folder* parent;
        std::atomic<std::int64_t> pending{1};  // itself, its subfolders and its file slices
        dev_t device = 0;                      // set when it is entered, before its subfolders
        std::atomic<std::uint64_t> fileBytes{0};
        std::vector<std::vector<KeptFile>> kept;  // one list per slice, in listing order
    };
    // The file names of a wide folder, copied out of the thread's listing buffer.
    struct NameBlock {
        std::string text;
        std::vector<std::string_view> names;
    };

    static constexpr size_t kSliceFiles = 1024;

    bool stopRequested() const { return options_.shouldStop && options_.shouldStop(); }

    // A folder on another file system counts as empty when the scan stays on its own, and
    // always when the kernel makes that file system up (proc, sysfs, cgroup, ...): it holds no
    // disk space, and reading it can be slow, endless or claim absurd sizes. An excluded folder
    // is known by what the open descriptor is, so no spelling of its path gets it read. The
    // folder chosen to scan is always entered. An entered folder's own blocks count when sizes
    // are allocated ones.
    bool mayEnter(const SharedFolderHandle& handle, Folder& folder) {
        struct stat status {};
        if (::fstat(handle.fd(), &status) != 0) return !options_.stayOnFileSystem;
        folder.device = status.st_dev;
        if (folder.parent) {
            if (status.st_dev != folder.parent->device &&
                (options_.stayOnFileSystem || isKernelFileSystem(handle.fd()))) {
                return false;
            }
            if (isExcluded(status)) {
                builder_.markExcluded(*folder.node);
                return false;
            }
        }
        if (measure_.allocated()) {
            folder.fileBytes.fetch_add(measure_.bytesOf(status), std::memory_order_relaxed);
        }
        return true;
    }

    bool isExcluded(const struct stat& status) const {
        return options_.scope.excludedFolders.contains(status.st_dev, status.st_ino);
    }

    // Known before opening where the parent's descriptor is at hand, so that an excluded folder
    // the user may not open still shows as excluded rather than unreadable. Costs a call only
    // when there are exclusions.
    bool excludedBeforeOpening(const SharedFolderHandle& parent, const Node& node) const {
        if (options_.scope.excludedFolders.empty() || parent.fd() < 0) return false;
        std::string name(builder_.nameOf(node));
        auto status = entryStatus(parent.fd(), name.c_str());
        return status && isExcluded(*status);
    }

    // The folder's path, built only for a file that enters the highlights.
    std::string pathOf(const Folder* folder) const {
        std::vector<std::string_view> names;
        for (; folder->parent; folder = folder->parent)
            names.push_back(builder_.nameOf(*folder->node));
        std::string path = rootPath_;
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            if (path.empty() || path.back() != '/') path += '/';
            path += *name;
        }
        return path;
    }

    std::optional<FileHighlights::Folder> highlightsOf(Folder* folder, unsigned worker) {
        if (!options_.highlights) return std::nullopt;
        return std::optional<FileHighlights::Folder>(std::in_place, *options_.highlights, worker,
                                                     [this, folder] { return pathOf(folder); });
    }

    void scanFolder(Folder* folder, std::shared_ptr<SharedFolderHandle> parentHandle,
                    unsigned worker) {
        const bool isRoot = folder->parent == nullptr;
        if (stopRequested()) return release(folder);
        if (!isRoot && excludedBeforeOpening(*parentHandle, *folder->node)) {
            builder_.markExcluded(*folder->node);
            return release(folder);
        }
        std::shared_ptr<SharedFolderHandle> handle =
            isRoot ? SharedFolderHandle::openPath(rootPath_)
                   : parentHandle->openChild(builder_.nameOf(*folder->node));
        parentHandle.reset();
        if (!handle) {
            markUnreadable(*folder);
            return release(folder);
        }
        if (!mayEnter(*handle, *folder)) return release(folder);

        thread_local DirectoryReader listing;
        thread_local EntryRules::Split split;
        // A read error keeps what was read before it.
        if (!listing.readAll(handle->fd())) markUnreadable(*folder);
        const bool atTop = isRoot && topLevel_;
        auto seen = highlightsOf(folder, worker);
        FileHighlights::Folder* seenFiles = seen ? &*seen : nullptr;
        rules_.split(handle->fd(), listing, atTop, measure_, split, seenFiles);

        std::uint64_t bytes = split.bytes;
        std::vector<std::shared_ptr<NameBlock>> slices;
        if (split.files.size() <= 2 * kSliceFiles) {
            bytes += sumFileSizes(handle->fd(), split.files, measure_, rules_.keepFilesFrom,
                                  split.kept, seenFiles);
            folder->kept.push_back(std::move(split.kept));
        } else {
            folder->kept.push_back(std::move(split.kept));
            slices = sliceNames(split.files);
            folder->kept.resize(1 + slices.size());
        }
        split.kept = {};
        folder->fileBytes.fetch_add(bytes, std::memory_order_relaxed);
        if (options_.counters) {
            options_.counters->folders.fetch_add(1, std::memory_order_relaxed);
            options_.counters->files.fetch_add(split.files.size(), std::memory_order_relaxed);
            options_.counters->bytes.fetch_add(bytes, std::memory_order_relaxed);
        }

        if (atTop) builder_.topLevelCounted(static_cast<std::int64_t>(split.subfolders.size()));
        std::vector<Node*> children;
        builder_.addFolders(*folder->node, split.subfolders, children);
        folder->pending.fetch_add(static_cast<std::int64_t>(children.size() + slices.size()),
                                  std::memory_order_relaxed);
        if (slices.empty() && !children.empty()) handle->releaseIfCrowded();

        for (size_t i = 0; i < slices.size(); ++i) {
            pool_->submit([this, folder, handle, block = slices[i], i](unsigned worker) {
                measureSlice(folder, *handle, *block, i + 1, worker);
            });
        }
        for (Node* child : children) {
            auto* childFolder = new Folder{child, folder};
            pool_->submit([this, childFolder, handle](unsigned worker) {
                scanFolder(childFolder, handle, worker);
            });
        }
        handle.reset();
        release(folder);
    }

    void markUnreadable(Folder& folder) {
        builder_.markUnreadable(*folder.node);
        if (options_.counters) {
            options_.counters->unreadableFolders.fetch_add(1, std::memory_order_relaxed);
        }
    }

    static std::vector<std::shared_ptr<NameBlock>> sliceNames(
        const std::vector<std::string_view>& files) {
        std::vector<std::shared_ptr<NameBlock>> blocks;
        for (size_t start = 0; start < files.size(); start += kSliceFiles) {
            auto block = std::make_shared<NameBlock>();
            size_t end = std::min(files.size(), start + kSliceFiles);
            size_t length = 0;
            for (size_t i = start; i < end; ++i) length += files[i].size() + 1;
            block->text.reserve(length);
            for (size_t i = start; i < end; ++i) {
                block->text.append(files[i]);
                block->text.push_back('\0');
            }
            const char* cursor = block->text.data();
            for (size_t i = start; i < end; ++i) {
                block->names.emplace_back(cursor, files[i].size());
                cursor += files[i].size() + 1;
            }
            blocks.push_back(std::move(block));
        }
        return blocks;
    }

    void measureSlice(Folder* folder, SharedFolderHandle& handle, const NameBlock& block,
                      size_t slot, unsigned worker) {
        int fd = handle.fd();
        auto seen = highlightsOf(folder, worker);
        std::uint64_t bytes = sumFileSizes(fd, block.names, measure_, rules_.keepFilesFrom,
                                           folder->kept[slot], seen ? &*seen : nullptr);
        folder->fileBytes.fetch_add(bytes, std::memory_order_relaxed);
        if (options_.counters) options_.counters->bytes.fetch_add(bytes, std::memory_order_relaxed);
        release(folder);
    }

    // Drops one claim on the folder; the last one finishes it, and so on up the tree.
    void release(Folder* folder) {
        while (folder && folder->pending.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            std::vector<KeptFile> files;
            for (auto& slice : folder->kept) {
                if (files.empty()) {
                    files = std::move(slice);
                } else {
                    std::move(slice.begin(), slice.end(), std::back_inserter(files));
                }
            }
            builder_.finish(*folder->node, folder->fileBytes.load(std::memory_order_relaxed),
                            std::move(files));
            Folder* parent = folder->parent;
            if (parent && !parent->parent && topLevel_) builder_.topLevelFolderFinished();
            delete folder;
            folder = parent;
        }
    }

    Builder& builder_;
    const EntryRules& rules_;
    const TreeScanOptions& options_;
    SizeMeasure measure_;
    std::string rootPath_;
    bool topLevel_ = false;
    WorkStealingPool* pool_ = nullptr;
};

}  // namespace quillby
