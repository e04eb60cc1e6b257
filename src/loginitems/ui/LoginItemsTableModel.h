// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "core/apps/AppItems.h"
#include "loginitems/LoginItemDropRules.h"
#include "ui/AppItemCellDelegate.h"

namespace quillby {

// The login-items table: column 0 is "Start at login" (checked when the item is not hidden),
// column 1 the item (icon, name, and its version or kind as secondary text), column 2 the row's
// buttons. Rows drag as "MyPrivateTableViewDataType"; file lists and plain text drop too. The
// model changes nothing itself: toggles and drops go to the page through the callbacks.
class LoginItemsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { StartColumn = 0, ItemColumn = 1, ButtonsColumn = 2, ColumnCount = 3 };
    enum Role {
        SecondaryTextRole = AppItemCellDelegate::SecondaryTextRole,
        HighlightedRole = AppItemCellDelegate::HighlightedRole,
    };

    std::function<void(int row)> toggleRequested;
    std::function<bool(const LoginItemDrop& drop, int row)> dropRequested;

    explicit LoginItemsTableModel(QObject* parent = nullptr);

    void setItems(std::vector<AppItems> items);
    const std::vector<AppItems>& items() const { return items_; }
    void setHighlightedRow(int row);

    // The secondary text of an item: its version, else what kind of item it is.
    static QString secondaryText(const AppItems& item);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

  private:
    std::vector<AppItems> items_;
    int highlighted_ = -1;
};

}  // namespace quillby
