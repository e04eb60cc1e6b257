// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

#include "diskusage/DiskUsageLeftCell.h"

namespace quillby {

// One row of the disk-usage path list (200 × 40): its icon, name, shortened path and sizes on
// "list_1.png", or "list_hover.png" when it is the selected row.
class DiskUsageLeftCellView : public QAbstractButton {
    Q_OBJECT
  public:
    explicit DiskUsageLeftCellView(QWidget* parent = nullptr);

    void setCell(const DiskUsageLeftCell& cell);
    const DiskUsageLeftCell& cell() const { return cell_; }
    // The second line: the sizes for a volume, the used size after a scan, else `path` (the
    // shown, cut form on screen; the whole path for assistive technology).
    QString detailText(const QString& path) const;

    QSize sizeHint() const override { return {200, 40}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DiskUsageLeftCell cell_;
};

}  // namespace quillby
