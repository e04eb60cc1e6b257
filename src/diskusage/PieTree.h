// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "diskusage/DiskUsageItem.h"
#include "diskusage/FSNode.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/RingGeometry.h"
#include "diskusage/RingLayout.h"
#include "diskusage/SectorColourRule.h"
#include "diskusage/TreeScanOptions.h"

namespace quillby {

// Everything the ring chart knows without drawing: the folder tree, the current folder (the
// centre disc) and the found folder (under the pointer, or just sought), the layout of each
// frame as a list of sectors, pointer moves and clicks, seeking, removal and the listing of a
// folder. A view draws the sectors of drawScene() and forwards its pointer events here.
//
// Events, each with this object (PieTree*) as sender: "ShowBubble" {"CurrentDir": name,
// "DirSize": size text, "MouseXPos", "MouseYPos": float}, "HideBubble", "RefreshLeftView"
// {"RootPath": DiskUsageItem of the folder, "DecendingItem": std::vector<DiskUsageItem>}, and
// the scan's "GetDirTotalLevel" and "NeedUpdateProgress".
//
// contructPieTree runs on a background worker; everything else on the main thread, and never
// while a build runs (cancelTask excepted).
class PieTree {
  public:
    struct Options {
        unsigned threads = 0;           // scan threads; 0 picks the default
        bool stayOnFileSystem = false;  // folders on other file systems count as empty
        ScanCounters* counters = nullptr;
        ScanScope scope;                       // the measure of sizes and the folders never read
        FileHighlights* highlights = nullptr;  // hears of every file the scan measures
    };
    // A pointer event: the position in the view's pixels (y from the top edge) and the screen
    // position a bubble should be shown at.
    struct PointerEvent {
        double x = 0.0;
        double y = 0.0;
        float screenX = 0.0f;
        float screenY = 0.0f;
    };

    PieTree();
    explicit PieTree(Options options);

    // Builds a new tree for the folder at `path` (replacing the old one, whose references are
    // cleared), makes its root current, and publishes the root's listing. Logs "Construct pie
    // tree for: %s".
    void contructPieTree(const std::string& path);
    // Takes a tree read from a scan file, makes its root current and publishes the root's
    // listing. Its listings come from the file alone: the file may describe another machine, so
    // the local disk is never read for it. A folder lists its subfolders from `root` and its
    // files from `files`, the same file's item tree (ScanFileLoader::loadItemTree, which keeps
    // the files at or above the size limit); without it, folders only.
    void adoptImportedTree(std::unique_ptr<RingFolderNode> root,
                           std::unique_ptr<FSNode> files = {});
    bool isImported() const { return imported_; }
    // Asks a running build to stop: folders not yet begun measure 0, and until the next build
    // the layout draws only the centre disc. Only once a current folder exists.
    void cancelTask();
    // The node whose path (ending in "/") equals `path`, or nullptr.
    RingFolderNode* searchFile(const std::string& path) const;

    // Makes the folder at `path` (ending in "/") current: a direct child of the current folder,
    // else a child of the nearest ancestor that has it, else the root. Draws a frame, publishes
    // the listing of the folder reached and returns 1; 0 without a tree.
    int SeekDirectory(const std::string& path);
    // Makes the folder of the tree at `path` (ending in "/") current wherever it lies, clears
    // the hidden flags below it, draws a frame and publishes its listing. False (nothing
    // changed) when the tree has no such folder.
    bool openFolder(const std::string& path);
    // Takes a removed item out of the tree: its bytes leave its folder (for a file) or the
    // folder itself and every ancestor, never going below 0; a removed folder leaves the tree,
    // and when the current folder was in it, the removed folder's parent becomes current.
    void removeFile(const DiskUsageItem& item, bool isDirectory);
    // Clears the hidden flags below the current folder, breadth first, down to the nodes last
    // laid out at depth 5.
    void clearHiddenFlags();
    // The current folder's path (ending in "/"), or nothing before the first build.
    std::optional<std::string> getCurrentDirectory() const;
    // Publishes "RefreshLeftView" for the folder at `path` (ending in "/") of `size` bytes:
    // every entry but "." and "..", links not followed, subfolders with their size in the tree,
    // largest first.
    void updateLeftView(const std::string& path, std::int64_t size);

    // Reads listings elsewhere (on a worker): once given, updateLeftView hands the folder to
    // `reader` instead of reading it; the reader later calls publishListing. Empty: read here.
    void setListingReader(std::function<void(const std::string& path, std::int64_t size)> reader) {
        listingReader_ = std::move(reader);
    }
    // The sizes of the subfolders of the listed folder at `path` as the tree has them, by name
    // (main thread).
    std::unordered_map<std::string, std::uint64_t> subfolderSizes(const std::string& path) const;
    // The names of the subfolders of the folder at `path` that the scan's exclusions left
    // unread: their listings leave them closed too (main thread).
    std::unordered_set<std::string> excludedSubfolders(const std::string& path) const;
    // The entries of the folder at `path` (ending in "/"), largest first, links not followed,
    // subfolders measured from `subfolders`, with each entry's last change and each
    // subfolder's number of entries (but those in `leaveClosed`, which are not opened). Reads
    // only the disk, so any thread may call it.
    static std::vector<DiskUsageItem> readFolderItems(
        const std::string& path, const std::unordered_map<std::string, std::uint64_t>& subfolders,
        const std::unordered_set<std::string>& leaveClosed = {});
    // Publishes "RefreshLeftView" for the folder at `path` of `size` bytes with its `items`.
    void publishListing(const std::string& path, std::int64_t size,
                        std::vector<DiskUsageItem> items);

    // Lays out one frame (drawScene): the current folder's rings, then the found folder's
    // subtree again as highlighted sectors. Returns the sectors in drawing order.
    const std::vector<RingSector>& drawScene(std::int64_t now = std::time(nullptr));
    // The sectors of the last frame.
    const std::vector<RingSector>& lastFrame() const { return frame_; }

    // The view's size in pixels; pointer positions are read against it.
    void setViewSize(double width, double height) { viewport_ = RingViewport(width, height); }
    const RingViewport& viewport() const { return viewport_; }
    // Called when the view should be drawn again.
    void setRedrawRequest(std::function<void()> request) { redraw_ = std::move(request); }

    // The pointer moved: finds the folder under it and shows or hides the bubble.
    void mouseMoved(const PointerEvent& event);
    // A click: on a sector it makes that folder current, on the centre disc it goes up one
    // level; then publishes the new current folder's listing.
    void mouseDown(const PointerEvent& event, int clickCount);

    // The tree's root (owned), the current folder and the found folder (both into the tree).
    std::unique_ptr<RingFolderNode> icAllDir;
    RingFolderNode* icCurrentPtr = nullptr;
    RingFolderNode* icFoundPtr = nullptr;
    // Whether the last bubble event published was "ShowBubble".
    bool bShowBubble = false;

  private:
    void requestRedraw() const;

    Options options_;
    std::atomic<bool> cancelFlag_{false};
    std::atomic<bool> hasCurrent_{false};
    bool imported_ = false;
    std::unique_ptr<FSNode> importedFiles_;
    SectorColourRule colours_;
    RingViewport viewport_{0, 0};
    std::vector<RingSector> frame_;
    std::function<void()> redraw_;
    std::function<void(const std::string&, std::int64_t)> listingReader_;
};

}  // namespace quillby
