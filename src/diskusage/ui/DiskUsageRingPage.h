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
class QToolButton;
class QVBoxLayout;

namespace quillby {

class Asker;
class DiskUsageRemovalSheet;
class DiskUsageItemMenu;
class PieChartBubble;
class PrivilegedAuthorization;
class RingChartView;
class SelectableItemRow;
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
    // The list's column headers (Name, Size, %, Items, Modified); a click sorts by one.
    const std::array<QToolButton*, 5>& columnButtons() const { return columns_; }
    QToolButton* lockButton() const { return lock_; }
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

    RingPageModel& page_;
    std::shared_ptr<Asker> asker_;
    DiskUsageRemoval removal_;
    QLabel* icon_;
    QLabel* name_;
    QLabel* size_;
    QLabel* origin_;
    QHBoxLayout* breadcrumb_;
    QToolButton* previous_;
    QToolButton* next_;
    QLineEdit* search_;
    std::array<QToolButton*, 5> columns_{};
    QVBoxLayout* list_;
    std::vector<SelectableItemRow*> rows_;
    RingChartView* chart_;
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
};

}  // namespace quillby
