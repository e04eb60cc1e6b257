// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/PieTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <deque>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/fs/DirectoryReader.h"
#include "core/fs/PathRules.h"
#include "core/text/UtilityFunction.h"
#include "diskusage/FileSizes.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/RingHitTest.h"
#include "diskusage/SharedFolderHandle.h"

namespace quillby {

namespace {

// The node of the folder at `path` (ending in "/") in the item tree under `root`, or nullptr.
const FSNode* itemNode(const FSNode* root, std::string_view path) {
    if (!root) return nullptr;
    path = withoutTrailingSlashes(path);
    std::string top = root->path();
    if (path == top) return root;
    top = pathInside(top, "");
    if (path.substr(0, top.size()) != top) return nullptr;
    std::string_view rest = path.substr(top.size());
    const FSNode* node = root;
    while (node && !rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view name = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        const FSNode* next = nullptr;
        for (const auto& child : node->children) {
            if (child->isDirectory && child->displayName() == name) {
                next = child.get();
                break;
            }
        }
        node = next;
    }
    return node;
}

// The number of entries of the folder `name` inside the folder open at `parentFd` (never
// through a link), or nothing when it cannot be read.
std::optional<std::uint64_t> entryCount(int parentFd, const char* name, DirectoryReader& reader) {
    int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    bool complete = reader.readAll(fd);
    ::close(fd);
    if (!complete) return std::nullopt;
    return reader.entries().size();
}

std::string nodeName(const RingFolderNode& node) {
    return node.parent ? node.name() : std::string(folderName(node.name()));
}

}  // namespace

PieTree::PieTree() : PieTree(Options()) {}

PieTree::PieTree(Options options) : options_(options) {}

void PieTree::contructPieTree(const std::string& path) {
    icCurrentPtr = nullptr;
    icFoundPtr = nullptr;
    icAllDir.reset();
    icAllDir = RingFolderNode::makeRoot(path);
    icCurrentPtr = icAllDir.get();
    imported_ = false;
    importedFiles_.reset();
    hasCurrent_.store(true);
    QWLog("Construct pie tree for: %s", path.c_str());
    cancelFlag_.store(false);

    TreeScanOptions scanOptions;
    scanOptions.threads = options_.threads;
    scanOptions.shouldStop = [this] { return cancelFlag_.load(std::memory_order_relaxed); };
    scanOptions.stayOnFileSystem = options_.stayOnFileSystem;
    scanOptions.counters = options_.counters;
    scanOptions.scope = options_.scope;
    scanOptions.highlights = options_.highlights;
    FolderTreeScanner scanner(scanOptions);
    scanner.scanFolder(*icAllDir, icAllDir->path(), true);
    updateLeftView(icCurrentPtr->path(), icCurrentPtr->size);
}

void PieTree::adoptImportedTree(std::unique_ptr<RingFolderNode> root,
                                std::unique_ptr<FSNode> files) {
    icFoundPtr = nullptr;
    icAllDir = std::move(root);
    importedFiles_ = std::move(files);
    icCurrentPtr = icAllDir.get();
    imported_ = true;
    hasCurrent_.store(icCurrentPtr != nullptr);
    cancelFlag_.store(false);
    if (icCurrentPtr) updateLeftView(icCurrentPtr->path(), icCurrentPtr->size);
}

void PieTree::cancelTask() {
    if (hasCurrent_.load()) cancelFlag_.store(true);
}

RingFolderNode* PieTree::searchFile(const std::string& path) const {
    return quillby::searchFile(icAllDir.get(), path);
}

int PieTree::SeekDirectory(const std::string& path) {
    if (!icCurrentPtr) return 0;
    icFoundPtr = nullptr;
    if (RingFolderNode* child = findChild(*icCurrentPtr, path)) {
        icFoundPtr = child;
        if (child->depth != 1) {
            icCurrentPtr = child;
            clearHiddenFlags();
        }
    } else {
        for (RingFolderNode* ancestor = icCurrentPtr->parent; ancestor;
             ancestor = ancestor->parent) {
            if (RingFolderNode* match = findChild(*ancestor, path)) {
                icFoundPtr = icCurrentPtr = match;
                break;
            }
        }
        if (!icFoundPtr) icFoundPtr = icCurrentPtr = icAllDir.get();
    }
    drawScene();
    requestRedraw();
    updateLeftView(icFoundPtr->path(), icFoundPtr->size);
    icFoundPtr = nullptr;
    return 1;
}

bool PieTree::openFolder(const std::string& path) {
    RingFolderNode* folder = searchFile(path);
    if (!folder) return false;
    icFoundPtr = nullptr;
    icCurrentPtr = folder;
    // Depths from an older frame would stop the clearing early: lay out from here first.
    drawScene();
    clearHiddenFlags();
    drawScene();
    requestRedraw();
    updateLeftView(folder->path(), folder->size);
    return true;
}

void PieTree::removeFile(const DiskUsageItem& item, bool isDirectory) {
    std::string folderPath = item.path;
    if (isDirectory) {
        folderPath = pathInside(folderPath, "");
    } else {
        size_t slash = folderPath.rfind('/');
        if (slash == std::string::npos) return;
        folderPath.resize(slash + 1);
    }
    RingFolderNode* node = searchFile(folderPath);
    if (!node) return;

    // The exact byte count when the record carries one; the size text read back otherwise.
    std::uint64_t amount =
        item.fileSizeNum ? item.fileSizeNum : UtilityFunction::getVolSpaceFromString(item.size);
    for (RingFolderNode* step = node; step; step = step->parent) {
        auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(step->size, 0));
        step->size = static_cast<std::int64_t>(size > amount ? size - amount : 0);
    }
    if (!isDirectory || !node->parent) return;

    auto& siblings = node->parent->children;
    auto entry = std::find_if(siblings.begin(), siblings.end(),
                              [node](const auto& child) { return child.get() == node; });
    if (entry == siblings.end()) return;
    if (icCurrentPtr) {
        for (RingFolderNode* step = icCurrentPtr; step; step = step->parent) {
            if (step == node) {
                icCurrentPtr = node->parent;
                break;
            }
        }
    }
    entry->reset();
    icFoundPtr = nullptr;
}

void PieTree::clearHiddenFlags() {
    if (!icCurrentPtr) return;
    std::deque<RingFolderNode*> queue{icCurrentPtr};
    while (!queue.empty()) {
        RingFolderNode* node = queue.front();
        queue.pop_front();
        if (node->depth > 5) break;
        for (auto& child : node->children) {
            if (!child) continue;
            child->hidden = false;
            queue.push_back(child.get());
        }
    }
}

std::optional<std::string> PieTree::getCurrentDirectory() const {
    if (!icCurrentPtr) return std::nullopt;
    return icCurrentPtr->path();
}

void PieTree::updateLeftView(const std::string& path, std::int64_t size) {
    if (imported_) {
        std::vector<DiskUsageItem> items;
        for (const auto& [name, bytes] : subfolderSizes(path)) {
            items.push_back(DiskUsageItem::make(name, path + name, bytes, true));
        }
        if (const FSNode* folder = itemNode(importedFiles_.get(), path)) {
            for (const auto& child : folder->children) {
                if (child->isDirectory) continue;
                std::string name = child->displayName();
                items.push_back(DiskUsageItem::make(name, path + name, child->size, false));
            }
        }
        std::sort(items.begin(), items.end(), DiskUsageItem::compareBySize);
        publishListing(path, size, std::move(items));
        return;
    }
    if (listingReader_) {
        listingReader_(path, size);
        return;
    }
    publishListing(path, size,
                   readFolderItems(path, subfolderSizes(path), excludedSubfolders(path)));
}

std::unordered_map<std::string, std::uint64_t> PieTree::subfolderSizes(
    const std::string& path) const {
    // From the listed folder's node (the current folder in every ordinary case), by name.
    const RingFolderNode* folder = searchFile(path);
    if (!folder) folder = icCurrentPtr;
    std::unordered_map<std::string, std::uint64_t> sizes;
    if (folder) {
        for (const auto& child : folder->children) {
            if (child) {
                sizes.emplace(child->name(),
                              static_cast<std::uint64_t>(std::max<std::int64_t>(child->size, 0)));
            }
        }
    }
    return sizes;
}

std::unordered_set<std::string> PieTree::excludedSubfolders(const std::string& path) const {
    std::unordered_set<std::string> names;
    if (const RingFolderNode* folder = searchFile(path)) {
        for (const auto& child : folder->children) {
            if (child && child->excluded) names.insert(child->name());
        }
    }
    return names;
}

std::vector<DiskUsageItem> PieTree::readFolderItems(
    const std::string& path, const std::unordered_map<std::string, std::uint64_t>& subfolders,
    const std::unordered_set<std::string>& leaveClosed) {
    std::vector<DiskUsageItem> items;
    int fd = SharedFolderHandle::openFolderPath(path);
    if (fd >= 0) {
        DirectoryReader listing;
        DirectoryReader inside;
        listing.readAll(fd);
        for (const auto& entry : listing.entries()) {
            auto status = entryStatus(fd, entry.name.data());
            bool isFolder = status && S_ISDIR(status->st_mode);
            std::uint64_t bytes = status ? sizeOfStatus(*status) : 0;
            if (isFolder) {
                auto match = subfolders.find(std::string(entry.name));
                bytes = match == subfolders.end() ? 0 : match->second;
            }
            DiskUsageItem item = DiskUsageItem::make(
                std::string(entry.name), path + std::string(entry.name), bytes, isFolder);
            if (status) item.modified = status->st_mtim.tv_sec;
            if (isFolder && !leaveClosed.contains(item.name)) {
                item.itemCount = entryCount(fd, entry.name.data(), inside);
            }
            items.push_back(std::move(item));
        }
        ::close(fd);
    }
    std::sort(items.begin(), items.end(), DiskUsageItem::compareBySize);
    return items;
}

void PieTree::publishListing(const std::string& path, std::int64_t size,
                             std::vector<DiskUsageItem> items) {
    DiskUsageItem root =
        DiskUsageItem::make(std::string(folderName(path)), path,
                            static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0)), true);
    EventBus::defaultCenter().post(
        Events::RefreshLeftView, this,
        {{EventKeys::RootPath, root}, {EventKeys::DecendingItem, std::move(items)}});
}

const std::vector<RingSector>& PieTree::drawScene(std::int64_t now) {
    frame_.clear();
    RingLayout layout(colours_, &cancelFlag_);
    layout.setNow(now);
    if (icCurrentPtr) layout.layoutSectors(*icCurrentPtr, 1, 0, false, 360.0, 0.0, frame_);
    if (icFoundPtr) {
        layout.layoutSectors(*icFoundPtr, icFoundPtr->depth, icFoundPtr->size, true,
                             icFoundPtr->sweep, icFoundPtr->startAngle, frame_);
    }
    return frame_;
}

void PieTree::mouseMoved(const PointerEvent& event) {
    PolarPoint point = viewport_.toPolar(event.x, event.y);
    icFoundPtr = nullptr;
    RingHit hit = icCurrentPtr ? hitTest(*icCurrentPtr, point.r, point.t) : RingHit{};
    if (hit.result < 0) {
        if (bShowBubble) {
            EventBus::defaultCenter().post(Events::HideBubble, this);
            bShowBubble = false;
        }
    } else {
        icFoundPtr = hit.node;
        if (!hit.node->hidden) {
            EventBus::defaultCenter().post(
                Events::ShowBubble, this,
                {{EventKeys::CurrentDir, nodeName(*hit.node)},
                 {EventKeys::DirSize, UtilityFunction::convertVolSpace(static_cast<std::uint64_t>(
                                          std::max<std::int64_t>(hit.node->size, 0)))},
                 {EventKeys::MouseXPos, event.screenX},
                 {EventKeys::MouseYPos, event.screenY}});
            bShowBubble = true;
        }
    }
    requestRedraw();
}

void PieTree::mouseDown(const PointerEvent& event, int clickCount) {
    mouseMoved(event);
    if (clickCount > 0 && icFoundPtr) {
        if (icFoundPtr->depth != 1) {
            if (!icFoundPtr->hidden) {
                icCurrentPtr = icFoundPtr;
                clearHiddenFlags();
            }
        } else if (icFoundPtr->parent) {
            icCurrentPtr = icFoundPtr->parent;
        } else {
            icCurrentPtr = icAllDir.get();
            icFoundPtr = nullptr;
            return;
        }
    }
    if (clickCount > 0 && icCurrentPtr) {
        icFoundPtr = nullptr;
        std::string current = icCurrentPtr->path();
        QWLog("Current Directory: %s", current.c_str());
        updateLeftView(current, icCurrentPtr->size);
    }
    drawScene();
    requestRedraw();
}

void PieTree::requestRedraw() const {
    if (redraw_) redraw_();
}

}  // namespace quillby
