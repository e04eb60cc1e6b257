// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "core/events/Subscription.h"
#include "diskusage/DiscoverModel.h"

class QLabel;
class QVBoxLayout;

namespace quillby {

class RingPageModel;
class SelectableItemRow;

// The ring page's "Discover" view: the scanned folder's largest, newest and oldest files, each
// list under its title, in the rows of the item list (size and last change). A row's check box
// joins the page's selection, so "Remove" takes it through the removal conversation; a click
// shows the file's folder on the chart; its context menu is the page's item menu. Binds
// RingPageModel::discover(), whose lists the scan's worker made.
class DiskUsageDiscoverView : public QWidget {
    Q_OBJECT
  public:
    explicit DiskUsageDiscoverView(RingPageModel& page, QWidget* parent = nullptr);
    ~DiskUsageDiscoverView() override;

    // Every list's rows, largest first, then newest, then oldest.
    const std::vector<SelectableItemRow*>& rows() const { return rows_; }
    QLabel* title(DiscoverModel::List list) const {
        return titles_[static_cast<std::size_t>(list)];
    }

  signals:
    // A row's context menu was asked for at `globalPosition`.
    void menuRequested(const DiskUsageItem& item, QPoint globalPosition);

  private:
    void showLists();
    void showSelection();

    RingPageModel& page_;
    QVBoxLayout* list_;
    std::array<QLabel*, DiscoverModel::kLists> titles_{};
    std::vector<SelectableItemRow*> rows_;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillby
