// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/ui/UninstallAppsTableModel.h"

#include <QFont>

#include "ui/AppItemIcon.h"
#include "ui/WindowStyle.h"
#include "uninstall/UninstallPageModel.h"

namespace quillby {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

UninstallAppsTableModel::UninstallAppsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void UninstallAppsTableModel::setItems(std::vector<AppItems> items) {
    if (items.size() == items_.size() && !items_.empty()) {
        items_ = std::move(items);
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    items_ = std::move(items);
    if (highlighted_ >= static_cast<int>(items_.size())) highlighted_ = -1;
    endResetModel();
}

void UninstallAppsTableModel::setHighlightedRow(int row) {
    if (row == highlighted_) return;
    int old = highlighted_;
    highlighted_ = row;
    for (int changed : {old, row}) {
        if (changed >= 0 && changed < rowCount()) {
            emit dataChanged(index(changed, 0), index(changed, columnCount() - 1));
        }
    }
}

int UninstallAppsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int UninstallAppsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : UninstallPageModel::ColumnCount;
}

QVariant UninstallAppsTableModel::nameData(const AppItems& item, int role) const {
    switch (role) {
        case Qt::DisplayRole:
            return text(item.name);
        case SecondaryTextRole:
            return text(UninstallPageModel::secondaryText(item));
        case Qt::DecorationRole:
            return appItemIcon(item);
        case Qt::ToolTipRole:
            return text(item.failureReason.empty() ? item.path : item.failureReason);
        case Qt::AccessibleTextRole: {
            std::string secondary = UninstallPageModel::secondaryText(item);
            return text(secondary.empty() ? item.name : item.name + ", " + secondary);
        }
        default:
            return {};
    }
}

QVariant UninstallAppsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const AppItems& item = items_[static_cast<std::size_t>(index.row())];
    bool highlighted = index.row() == highlighted_;
    if (role == HighlightedRole) return highlighted;
    switch (index.column()) {
        case UninstallPageModel::CheckColumn:
            if (role == Qt::CheckStateRole) return item.bIsSelected ? Qt::Checked : Qt::Unchecked;
            if (role == Qt::AccessibleTextRole) return text(UninstallPageModel::markName(item));
            break;
        case UninstallPageModel::ViewColumn:
            if (role == Qt::AccessibleTextRole) return text(UninstallPageModel::detailsName(item));
            break;
        case UninstallPageModel::NameColumn:
            return nameData(item, role);
        case UninstallPageModel::IdentifierColumn:
            if (role == Qt::DisplayRole) return text(UninstallPageModel::identifierText(item));
            if (role == Qt::AccessibleTextRole) {
                std::string identifier = UninstallPageModel::identifierText(item);
                return identifier.empty() ? tr("No identifier") : text(identifier);
            }
            if (role == Qt::FontRole) {
                // 12 points against a 13-point body text, 13.5 on the highlighted row; relative
                // to the font in use, so that larger fonts grow it.
                QFont font;
                font.setPointSizeF(font.pointSizeF() * (highlighted ? 13.5 : 12.0) / 13.0);
                return font;
            }
            if (role == Qt::ForegroundRole && !item.failureReason.empty()) {
                return WindowStyle::alarm();
            }
            break;
        case UninstallPageModel::SystemColumn:
            if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
                return text(item.isSystemAppStr);
            }
            break;
        default:
            break;
    }
    return {};
}

bool UninstallAppsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != UninstallPageModel::CheckColumn ||
        role != Qt::CheckStateRole) {
        return false;
    }
    bool wantMarked = value.toInt() == Qt::Checked;
    if (wantMarked != items_[static_cast<std::size_t>(index.row())].bIsSelected &&
        toggleRequested) {
        toggleRequested(index.row());
    }
    return true;
}

QVariant UninstallAppsTableModel::headerData(int section, Qt::Orientation orientation,
                                             int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) return tr(UninstallPageModel::columnTitle(section));
    if (role == Qt::AccessibleTextRole && section == UninstallPageModel::CheckColumn) {
        return tr("Marked");
    }
    if (role == Qt::AccessibleTextRole && section == UninstallPageModel::ViewColumn) {
        return tr("Details");
    }
    return {};
}

Qt::ItemFlags UninstallAppsTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == UninstallPageModel::CheckColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

}  // namespace quillby
