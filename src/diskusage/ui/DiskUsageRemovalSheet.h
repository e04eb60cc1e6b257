// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <vector>

#include "diskusage/DiskUsageItem.h"

class QPushButton;

namespace quillby {

class SelectableItemRow;

// The removal sheet (600 × 400): every item that will go, ticked, in rows of 560 × 30; unticking
// a row takes its item out of the selection. Cancel ("cancle.png") and confirm ("OK.png").
class DiskUsageRemovalSheet : public QDialog {
    Q_OBJECT
  public:
    DiskUsageRemovalSheet(const std::vector<DiskUsageItem>& items, QWidget* parent = nullptr);

    // The items still ticked.
    std::vector<DiskUsageItem> tickedItems() const;
    const std::vector<SelectableItemRow*>& rows() const { return rows_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* confirmButton() const { return confirm_; }

  signals:
    // A row was unticked (or ticked again).
    void selectionToggled(const DiskUsageItem& item, bool selected);

  private:
    std::vector<SelectableItemRow*> rows_;
    QPushButton* cancel_;
    QPushButton* confirm_;
};

}  // namespace quillby
