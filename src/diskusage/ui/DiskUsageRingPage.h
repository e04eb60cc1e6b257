// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>
#include <vector>
#include "ui/GradientPage.h"

#include <array>

#include "core/events/Subscription.h"
#include "diskusage/DiskUsageItem.h"
#include "diskusage/DiskUsageRemoval.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;

namespace quillby {

class Asker;
class DiskUsageRemovalSheet;
class DiskUsageDiscoverView;
class DiskUsageItemMenu;
class PieChartBubble;
class PrivilegedAuthorization;
class RingChartView;
class SelectableItemRow;
class TreemapView;
class RingPageModel;
class WorkRunner;

// The ring page of the disk-usage results: the current folder's header, the breadcrumb from the
// scanned folder, the item list (largest first) with check boxes, the ring chart with its
// bubble, "%d items are selected.", the removal sheet, back and the lock button; an imported
// tree is marked over the header and offers no selection or removal. It binds
// RingPageModel; the sheet reviews what will go, the removal conversation asks and reports, and
// the removal runs on a worker, with Stop while it runs and the retry with administrator rights
// offered for what failed for want of permission; its closing line stays under the list.
class DiskUsageRingPage : public GradientPage {
    Q_OBJECT
  public:
    // `asker` defaults to window-modal message boxes, `rights` to the process's rights.
    DiskUsageRingPage(RingPageModel& page, std::shared_ptr<Asker> asker = nullptr,
                      QWidget* parent = nullptr);
    ~DiskUsageRingPage() override;

    // Opens the removal sheet for the selection.
    void openRemovalSheet();
    // Asks through the removal conversation whether to remove `items` (to the trash by
    // default), then removes them on the worker and applies the outcomes.
    void removeItems(const std::vector<DiskUsageItem>& items);
    // What removals are checked against (tests point the home elsewhere).
    void setRemoval(DiskUsageRemoval removal) { removal_ = std::move(removal); }

    // Back (Alt+Left): the folder visited before, and from the first folder the path list.
    // Forward (Alt+Right): the folder Back came from.
    void historyBack();
    void historyForward();

    // The context menu of an item (DiskUsageItemMenu).
    QMenu* itemMenu(const DiskUsageItem& item);
    DiskUsageItemMenu& itemActions() const { return *itemMenu_; }

    RingChartView* chartView() const { return chart_; }
    TreemapView* treemapView() const { return treemap_; }
    // The two-way switch over the chart: the ring or the treemap (RingPageModel::chartKind).
    QToolButton* ringButton() const { return ringButton_; }
    QToolButton* treemapButton() const { return treemapButton_; }
    PieChartBubble* bubble() const { return bubble_; }
    QLabel* headerName() const { return name_; }
    QLabel* headerSize() const { return size_; }
    // "Imported from …" over the header; hidden for a live scan.
    QLabel* originLine() const { return origin_; }
    QLabel* statusLine() const { return status_; }
    QPushButton* removeButton() const { return remove_; }
    // Shown while a removal runs: it stops the removal before its next item.
    QPushButton* stopButton() const { return stop_; }
    // The last removal's closing line; hidden before the first removal and after Back.
    QLabel* reportLine() const { return report_; }
    QPushButton* backButton() const { return back_; }
    QToolButton* previousFolderButton() const { return previous_; }
    QToolButton* nextFolderButton() const { return next_; }
    // Narrows the list to the names holding its text; a new folder clears it.
    QLineEdit* searchField() const { return search_; }
    // The list's column headers (Name, Size, %, Items, Modified, Change); a click sorts by one.
    // Change shows only while the list compares with a previous scan.
    const std::array<QToolButton*, 6>& columnButtons() const { return columns_; }
    // "N folders gone since …" under the list; hidden when none went.
    QLabel* goneLine() const { return gone_; }
    QToolButton* lockButton() const { return lock_; }
    // The list's switch: the folder's items, or Discover (the largest, newest and oldest files).
    QToolButton* itemsButton() const { return itemsButton_; }
    QToolButton* discoverButton() const { return discoverButton_; }
    DiskUsageDiscoverView* discoverView() const { return discover_; }
    const std::vector<SelectableItemRow*>& rows() const { return rows_; }
    std::vector<QToolButton*> breadcrumbButtons() const;
    DiskUsageRemovalSheet* removalSheet() const { return sheet_; }
    // The removal's worker (tests wait on it).
    WorkRunner& work() const { return *removing_; }
    // The worker of listings (tests wait on it).
    WorkRunner& listingWork() const { return *work_; }

    // "%d items are selected." with the number stressed.
    static QString selectionText(int count);

  signals:
    // The back button: the tool returns to its path list.
    void backRequested();

  private:
    void showListing();
    void showRows();
    void showHistory();
    void showSelection();
    void showBubble();
    void showLock();
    void showChartKind();

    RingPageModel& page_;
    std::shared_ptr<Asker> asker_;
    DiskUsageRemoval removal_;
    QLabel* icon_;
    QLabel* name_;
    QLabel* size_;
    QLabel* origin_;
    QLabel* gone_;
    QHBoxLayout* breadcrumb_;
    QToolButton* previous_;
    QToolButton* next_;
    QLineEdit* search_;
    std::array<QToolButton*, 6> columns_{};
    QWidget* columnHeaders_ = nullptr;
    QWidget* rowList_ = nullptr;
    QVBoxLayout* list_;
    std::vector<SelectableItemRow*> rows_;
    RingChartView* chart_;
    TreemapView* treemap_;
    QStackedWidget* charts_;
    QToolButton* ringButton_;
    QToolButton* treemapButton_;
    PieChartBubble* bubble_;
    QPushButton* back_;
    QToolButton* lock_;
    QPushButton* remove_;
    QPushButton* stop_;
    QLabel* status_;
    QLabel* report_;
    DiskUsageRemovalSheet* sheet_ = nullptr;
    WorkRunner* work_;      // listings and the rights
    WorkRunner* removing_;  // removals, which Stop ends
    std::vector<Subscription> subscriptions_;
    DiskUsageItemMenu* itemMenu_;
    QToolButton* itemsButton_ = nullptr;
    QToolButton* discoverButton_ = nullptr;
    DiskUsageDiscoverView* discover_ = nullptr;
};

}  // namespace quillby
