// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColumnView>
#include <QPointer>
#include <vector>

namespace quillby {

// The column browser's view: a column per opened folder, each a list of uniform rows (so a
// column of 100,000 rows lays out at once). A click on a row's check box, or Space on the
// current row, is reported as checkBoxClicked instead of opening the row.
class DiskUsageColumnBrowserView : public QColumnView {
    Q_OBJECT
  public:
    explicit DiskUsageColumnBrowserView(QWidget* parent = nullptr);

    // The columns on show, from the first.
    std::vector<QAbstractItemView*> visibleColumns() const;

  signals:
    void checkBoxClicked(const QModelIndex& index);

  protected:
    QAbstractItemView* createColumn(const QModelIndex& rootIndex) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The column whose viewport `watched` is (or the column itself, when `orList`), or null.
    QAbstractItemView* columnOf(QObject* watched, bool orList) const;

    // Kept as plain objects: events reach the filter while a column is being destroyed.
    std::vector<QPointer<QObject>> columns_;
};

}  // namespace quillby
