// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/events/Subscription.h"
#include "ui/GradientPage.h"

class QCheckBox;
class QPushButton;
class QVBoxLayout;

namespace quillby {

class DiskUsageAppController;
class DiskUsageLeftCellView;

// The disk-usage tool's first page ("disk_usage"): the path list (home folder, local volumes,
// the chosen folder), the folder sheet "Choose a path to search", the scan button, the display
// mode, folders dropped on the page, and "Open scan…" (or a dropped .json scan file).
class DiskUsagePathListPage : public GradientPage {
    Q_OBJECT
  public:
    explicit DiskUsagePathListPage(DiskUsageAppController& controller, QWidget* parent = nullptr);
    ~DiskUsagePathListPage() override;

    // Opens the folder sheet.
    void chooseFolder();
    // Opens the sheet "Open a scan file".
    void chooseScanFile();

    const std::vector<DiskUsageLeftCellView*>& rows() const { return rows_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* scanButton() const { return scan_; }
    QPushButton* openScanButton() const { return openScan_; }
    QCheckBox* ringCheckBox() const { return ring_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void showRows();

    DiskUsageAppController& controller_;
    QVBoxLayout* list_;
    std::vector<DiskUsageLeftCellView*> rows_;
    QPushButton* choose_;
    QPushButton* scan_;
    QPushButton* openScan_;
    QCheckBox* ring_;
    Subscription rowsChanged_;
};

}  // namespace quillby
