// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanItemsTableModel.h"

#include <QFont>

#include "clean/ui/CleanItemNameDelegate.h"

namespace quillby {

namespace {

bool sameItems(const std::vector<CleanFileInfo>& a, const std::vector<CleanFileInfo>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].path != b[i].path || a[i].size != b[i].size) return false;
    }
    return true;
}

}  // namespace

void CleanItemsTableModel::setItems(std::vector<CleanFileInfo> items) {
    if (sameItems(items, items_)) {
        items_ = std::move(items);
        if (!items_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    items_ = std::move(items);
    endResetModel();
}

void CleanItemsTableModel::setCheckable(bool on) {
    if (checkable_ == on) return;
    checkable_ = on;
    if (!items_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

void CleanItemsTableModel::setHighlightedRow(int row) {
    highlighted_ = row;
    if (!items_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int CleanItemsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int CleanItemsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CleanItemsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const CleanFileInfo& item = items_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
        case CheckColumn:
            if (role == Qt::CheckStateRole) return item.bIsSelected ? Qt::Checked : Qt::Unchecked;
            if (role == Qt::AccessibleTextRole) {
                return tr("Clean %1").arg(QString::fromStdString(item.name));
            }
            break;
        case NameColumn:
            if (role == Qt::DisplayRole) return QString::fromStdString(item.name);
            // A package tool's item has no path worth showing: its description stands there.
            if (role == CleanItemNameDelegate::PathRole || role == Qt::ToolTipRole) {
                return QString::fromStdString(item.detailLine());
            }
            if (role == CleanItemNameDelegate::HighlightedRole) return index.row() == highlighted_;
            if (role == Qt::AccessibleTextRole) {
                return QString::fromStdString(item.name) + QStringLiteral(", ") +
                       QString::fromStdString(item.detailLine());
            }
            break;
        case SizeColumn:
            if (role == Qt::DisplayRole) return QString::fromStdString(item.size);
            if (role == Qt::TextAlignmentRole) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (role == Qt::FontRole) {
                QFont font;
                font.setPointSizeF(index.row() == highlighted_ ? 13.5 : 12);
                return font;
            }
            break;
        case RevealColumn:
            // A package tool's item has no folder, and no button, to show it.
            if (role == Qt::AccessibleTextRole && item.toolIndex < 0) {
                return tr("Show in its folder");
            }
            break;
        default:
            break;
    }
    return {};
}

bool CleanItemsTableModel::setData(const QModelIndex& index, const QVariant&, int role) {
    if (role != Qt::CheckStateRole || index.column() != CheckColumn || !checkable_) return false;
    if (toggle) toggle(index.row());
    return true;
}

Qt::ItemFlags CleanItemsTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == CheckColumn) {
        return checkable_ ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsUserCheckable;
    }
    if (index.column() == RevealColumn) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant CleanItemsTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case NameColumn:
            return tr("Name");
        case SizeColumn:
            return tr("Size");
        default:
            return QString();
    }
}

}  // namespace quillby
