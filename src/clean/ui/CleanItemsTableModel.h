// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "clean/CleanFileInfo.h"

namespace quillby {

// One category's listed items for its review table: a check box, the name with the path (drawn
// below it by CleanItemNameDelegate; a package tool's item shows its description there), the
// size, and a column for the reveal button. Clicks on a
// check box are handed to `toggle`; the rows come from setItems.
class CleanItemsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { CheckColumn, NameColumn, SizeColumn, RevealColumn, ColumnCount };

    explicit CleanItemsTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Shows `items`; the rows are rebuilt only when the items themselves changed.
    void setItems(std::vector<CleanFileInfo> items);
    const std::vector<CleanFileInfo>& items() const { return items_; }
    // Whether the check boxes take clicks (not while a scan or clean works on the category).
    void setCheckable(bool on);
    // The highlighted row, drawn in larger type.
    void setHighlightedRow(int row);

    std::function<void(int row)> toggle;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<CleanFileInfo> items_;
    bool checkable_ = true;
    int highlighted_ = 0;
};

}  // namespace quillby
