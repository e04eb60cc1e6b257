// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "core/apps/AppItems.h"
#include "ui/AppItemCellDelegate.h"

namespace quillby {

// The uninstaller's table: check box, "view" (details), the name with the version (or why the
// last removal failed) as secondary text, the identifier and "System App", one row per record
// on show. The model changes nothing itself: a click on a check box goes to the page through
// `toggleRequested`.
class UninstallAppsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The roles the cell delegate of application rows reads.
    enum Role {
        SecondaryTextRole = AppItemCellDelegate::SecondaryTextRole,
        HighlightedRole = AppItemCellDelegate::HighlightedRole,
    };

    std::function<void(int row)> toggleRequested;

    explicit UninstallAppsTableModel(QObject* parent = nullptr);

    // New records: the same number of rows only changes the cells, so the view keeps its
    // current row and scroll place.
    void setItems(std::vector<AppItems> items);
    const std::vector<AppItems>& items() const { return items_; }
    void setHighlightedRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    QVariant nameData(const AppItems& item, int role) const;

    std::vector<AppItems> items_;
    int highlighted_ = -1;
};

}  // namespace quillby
