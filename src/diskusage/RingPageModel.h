// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/events/Observable.h"
#include "core/events/Subscription.h"
#include "diskusage/DiscoverModel.h"
#include "diskusage/DiskUsageBreadcrumb.h"
#include "diskusage/DiskUsageItem.h"
#include "diskusage/DiskUsageListColumns.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/EarlierScan.h"
#include "diskusage/FolderHistory.h"
#include "diskusage/PieTree.h"
#include "diskusage/ScanFileEntry.h"
#include "diskusage/TreemapLayout.h"

namespace quillby {

// The ring page without widgets: the chart of a finished scan, the header, the breadcrumb and
// the item list of the current folder, the bubble, the selection and what a removal changes.
// It listens to its own chart's "RefreshLeftView", "ShowBubble" and "HideBubble" only, so a
// chart being built elsewhere never reaches it. Main thread only.
class RingPageModel {
  public:
    // A folder's listing as the chart publishes it.
    struct Listing {
        DiskUsageItem folder;
        std::vector<DiskUsageItem> items;  // largest first
    };
    struct Bubble {
        bool visible = false;
        std::string name;
        std::string size;
        float x = 0;
        float y = 0;
    };

    RingPageModel();
    ~RingPageModel();
    RingPageModel(const RingPageModel&) = delete;
    RingPageModel& operator=(const RingPageModel&) = delete;

    // Takes the chart of a finished scan and its root's listing; the page starts afresh on it.
    // A tree read from the scan file `file` comes with its origin marked imported.
    void showTree(std::unique_ptr<PieTree> chart, const Listing& first,
                  const ScanOrigin& origin = {}, const std::string& file = {});
    // The folder tree of the place's previous kept scan and when it was made (seconds): the
    // rows of every listing from then on say their change since it and the folders it had that
    // are gone. Given before showTree; a new tree (releaseTree) forgets it.
    void compareWith(std::unique_ptr<RingFolderNode> earlier, std::int64_t seconds);
    // Whether the rows are compared with a previous scan (the list's change column shows).
    bool compared() const { return earlier_ != nullptr; }
    // "2 folders gone since 2026-12-07 14:05 (1.20 GB): cache, old"; "" when none went (or
    // nothing is compared).
    std::string goneText() const;
    // Whether the tree shown was read from a scan file. Its paths may be another machine's:
    // nothing of it is selected, removed, opened or revealed here.
    bool imported() const { return origin_.imported; }
    // "Imported from FILE, written by PROGRAM VERSION on DATE" (parts the file lacks are left
    // out; the date in UTC); empty for a live scan.
    std::string originText() const;
    bool mayOpenOrReveal() const { return !imported(); }
    // The chart shown, or nullptr before the first scan.
    PieTree* chart() const { return chart_.get(); }
    // Releases the chart (a new scan replaces it).
    void releaseTree();
    // Shows the chart again from its root after the page was left with back().
    void reopen();

    // Runs `read` off the main thread and `apply` with its result back on it.
    using ListingRunner =
        std::function<void(std::function<std::vector<DiskUsageItem>()> read,
                           std::function<void(std::vector<DiskUsageItem>)> apply)>;
    // Where the chart's folder listings are read from now on (a page gives its worker); empty:
    // on the calling thread. A listing that arrives after a newer one was asked for is dropped.
    void setListingRunner(ListingRunner runner);

    // The scanned folder (ending in "/") and the folder listed last.
    const std::string& firstInPath() const { return firstInPath_; }
    const std::string& currentPath() const { return currentPath_; }
    // The header: the folder's name ("No name" when empty) and size text ("0.0KB" when empty).
    std::string headerName() const;
    std::string headerSize() const;
    const DiskUsageItem& currentFolder() const { return listing_.folder; }
    // The breadcrumb from the scanned folder down to the current one.
    const std::vector<BreadcrumbComponent>& breadcrumb() const { return breadcrumb_; }
    // The rows of the item list: folders, and other items at or above the size limit (read
    // when the listing arrives), whose names hold the search text, in the list's sort (largest
    // first unless a column header was clicked); folders the scan could not read are marked.
    const std::vector<DiskUsageItem>& rows() const { return shownRows_; }
    // Called after every new listing (the list, header and breadcrumb changed).
    Observable<int> listingChanged{0};
    // Called when the search text or the sort changed the rows (the listing did not change).
    Observable<int> rowsChanged{0};

    // The search field: rows whose names hold `text` in any letter case. A new folder clears it.
    void setFilter(const std::string& text);
    const std::string& filter() const { return filter_; }
    // A column header's click sorts by it (again: the other way round).
    void clickColumn(ListColumn column);
    ListSort sort() const { return sort_; }
    // The cells of a row: its share of the folder listed, its entries and its last change.
    std::string percentText(const DiskUsageItem& item) const;

    // Back and Forward through the folders visited since the tree was shown. Back from the
    // first folder visited leads out of the results: goBack() then answers false and the page
    // returns to the places. Folders that left the tree are passed over.
    bool goBack();
    bool goForward();
    bool canGoForward() const { return history_.canGoForward(); }
    const FolderHistory& history() const { return history_; }

    // Pointer events from the chart's view; ignored while a scan runs.
    void setScanRunning(bool running) { scanRunning_ = running; }
    void mouseMoved(const PieTree::PointerEvent& event);
    void mouseDown(const PieTree::PointerEvent& event, int clickCount);
    // The bubble over the chart: shown for the folder under the pointer, replaced on each
    // update, hidden when the pointer leaves every sector or the bubble is clicked.
    Observable<Bubble> bubble;
    void closeBubble();

    // The chart beside the list, remembered in the setting "DiskUsageChartKind" ("ring" or
    // "treemap"; anything else reads as the ring).
    enum class ChartKind { Ring, Treemap };
    ChartKind chartKind() const;
    void setChartKind(ChartKind kind);
    Observable<int> chartKindChanged{0};

    // The treemap of the current folder over a view of `width` × `height` pixels: its
    // subfolders from the tree, and its files once its listing arrived.
    const std::vector<TreemapTile>& layOutTreemap(double width, double height);
    const TreemapLayout& treemap() const { return treemap_; }
    // The treemap's pointer: the bubble names the tile under it, and a click on a folder's tile
    // (or on its files' tile) opens that folder, as a click on its sector does. Ignored while a
    // scan runs.
    void treemapMoved(const PieTree::PointerEvent& event);
    void treemapClicked(const PieTree::PointerEvent& event);
    // The tile under the pointer (index into the last layout), or -1.
    int hoveredTile() const { return hoveredTile_; }
    // The tiles of the selected items in the last layout.
    std::vector<const TreemapTile*> selectedTiles() const;

    // A row's click (not on its check box): a folder of the tree becomes current.
    void clickLeftListViewAction(const DiskUsageItem& item);
    // A breadcrumb component's click.
    void clickBreadcrumb(std::size_t index);
    // Shows the folder at `path`: sought in the chart when it is a folder of the tree.
    void showFolder(const std::string& path);

    // The selection (allSelectArr), unique by path, in the order of ticking; nothing of an
    // imported tree is selected.
    void changeSelectArr(const DiskUsageItem& item, bool selected);
    bool isSelected(const std::string& path) const;
    const std::vector<DiskUsageItem>& selection() const { return allSelectArr_; }
    // "%d items are selected." with the count.
    std::string selectionText() const;
    bool removeEnabled() const { return !imported() && !allSelectArr_.empty(); }
    Observable<int> selectionChanged{0};

    // What the removal sheet lists and removes: the selection without the items inside a
    // selected folder, so nothing goes or counts twice. Empty for an imported tree.
    std::vector<DiskUsageItem> removalList() const;
    // Applies a removal's results: every item that is gone leaves the tree (its bytes leave its
    // folder and every ancestor once) and the selection; items that failed or were refused
    // stay selected. Then the current folder is listed again. Ignored for an imported tree.
    void removalFinished(const std::vector<RemovalOutcome>& results);
    // Called after a removal took something out of the tree (its root's size is what is left).
    Observable<int> treeShrank{0};
    // The bytes the tree holds now; 0 before the first scan.
    std::uint64_t treeBytes() const;

    // The scanned folder's largest, newest and oldest files (empty for an imported tree): their
    // rows select into the same selection, and a removal takes what went out of them.
    DiscoverModel& discover() { return discover_; }
    const DiscoverModel& discover() const { return discover_; }

    // Back to the path list: the page forgets its folder state and the selection.
    void back();

  private:
    void refreshLeftView(const Listing& listing);
    // Marks the rows with their change since the earlier scan and notes what is gone.
    void markChanges();
    void installListingReader();
    void arrangeRows();
    // Folders that left the tree (removed) leave the history too.
    void forgetFoldersGone();

    std::unique_ptr<PieTree> chart_;
    DiscoverModel discover_;
    std::vector<Subscription> subscriptions_;
    Listing listing_;
    std::vector<DiskUsageItem> rows_;
    std::vector<DiskUsageItem> shownRows_;
    std::string filter_;
    ListSort sort_;
    FolderHistory history_;
    std::vector<BreadcrumbComponent> breadcrumb_;
    std::vector<DiskUsageItem> allSelectArr_;
    std::string firstInPath_;
    std::string currentPath_;
    ScanOrigin origin_;
    std::unique_ptr<RingFolderNode> earlier_;
    std::int64_t earlierSeconds_ = 0;
    std::vector<EarlierScan::Gone> gone_;
    std::string originFile_;
    bool scanRunning_ = false;
    ListingRunner listingRunner_;
    std::uint64_t listingTicket_ = 0;
    // Items of the folder shown keep a strip over their tiles for their names.
    TreemapLayout treemap_{{.header = 16.0}};
    int hoveredTile_ = -1;
};

}  // namespace quillby
