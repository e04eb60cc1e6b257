// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/ui/LoginItemsTableModel.h"

#include <QFileInfo>
#include <QMimeData>
#include <set>

#include "ui/AppItemIcon.h"

namespace quillby {

namespace {

std::vector<std::string> offeredTypes(const QMimeData* data) {
    std::vector<std::string> types;
    for (const QString& format : data->formats()) types.push_back(format.toStdString());
    return types;
}

}  // namespace

LoginItemsTableModel::LoginItemsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void LoginItemsTableModel::setItems(std::vector<AppItems> items) {
    beginResetModel();
    items_ = std::move(items);
    if (highlighted_ >= static_cast<int>(items_.size())) highlighted_ = -1;
    endResetModel();
}

void LoginItemsTableModel::setHighlightedRow(int row) {
    if (row == highlighted_) return;
    int old = highlighted_;
    highlighted_ = row;
    for (int changed : {old, row}) {
        if (changed >= 0 && changed < rowCount()) {
            emit dataChanged(index(changed, 0), index(changed, ColumnCount - 1));
        }
    }
}

QString LoginItemsTableModel::secondaryText(const AppItems& item) {
    if (item.bundleVersion && !item.bundleVersion->empty()) {
        return QString::fromStdString(*item.bundleVersion);
    }
    QString kind;
    QFileInfo file(QString::fromStdString(item.path));
    if (file.suffix() == QLatin1String("desktop")) {
        kind = tr("Application");
    } else if (file.isDir()) {
        kind = tr("Folder");
    } else if (file.isExecutable()) {
        kind = tr("Program");
    } else {
        kind = tr("Document");
    }
    return item.isSystemApp ? tr("%1, comes with the system").arg(kind) : kind;
}

int LoginItemsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int LoginItemsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LoginItemsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const AppItems& item = items_[static_cast<std::size_t>(index.row())];
    QString name = QString::fromStdString(item.name);
    if (role == HighlightedRole) return index.row() == highlighted_;
    switch (index.column()) {
        case StartColumn:
            if (role == Qt::CheckStateRole) return item.bIsSelected ? Qt::Unchecked : Qt::Checked;
            if (role == Qt::AccessibleTextRole) return tr("Start %1 at login").arg(name);
            if (role == Qt::ToolTipRole) return tr("Start at login");
            break;
        case ItemColumn:
            if (role == Qt::DisplayRole || role == Qt::EditRole) return name;
            if (role == SecondaryTextRole) return secondaryText(item);
            if (role == Qt::DecorationRole) return appItemIcon(item);
            if (role == Qt::ToolTipRole) return QString::fromStdString(item.path);
            if (role == Qt::AccessibleTextRole) {
                return tr("%1, %2").arg(name, secondaryText(item));
            }
            break;
        case ButtonsColumn:
            if (role == Qt::AccessibleTextRole) return tr("Actions for %1").arg(name);
            break;
        default:
            break;
    }
    return {};
}

bool LoginItemsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != StartColumn || role != Qt::CheckStateRole) {
        return false;
    }
    bool wantStarted = value.toInt() == Qt::Checked;
    bool started = !items_[static_cast<std::size_t>(index.row())].bIsSelected;
    if (wantStarted != started && toggleRequested) toggleRequested(index.row());
    return true;
}

QVariant LoginItemsTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case StartColumn:
            return tr("Start at login");
        case ItemColumn:
            return tr("Login item");
        case ButtonsColumn:
            return tr("Actions");
        default:
            return {};
    }
}

Qt::ItemFlags LoginItemsTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (index.column() == StartColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QStringList LoginItemsTableModel::mimeTypes() const {
    return {QString::fromLatin1(LoginItemDragType::privateRows),
            QString::fromLatin1(LoginItemDragType::fileNames), QStringLiteral("text/plain")};
}

QMimeData* LoginItemsTableModel::mimeData(const QModelIndexList& indexes) const {
    std::set<std::size_t> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid()) rows.insert(static_cast<std::size_t>(index.row()));
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(LoginItemDragType::privateRows),
                  QByteArray::fromStdString(LoginItemDropRules::encodeRows(rows)));
    return data;
}

Qt::DropActions LoginItemsTableModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

Qt::DropActions LoginItemsTableModel::supportedDragActions() const {
    // Rows are copied in the drag: the page reorders them itself, the view removes nothing.
    return Qt::CopyAction;
}

bool LoginItemsTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                           const QModelIndex&) const {
    // Asked on every move of a drag, so it looks without logging; the drop itself logs the type.
    if (!data) return false;
    for (const QString& type : mimeTypes()) {
        if (data->hasFormat(type)) return true;
    }
    return data->hasFormat(QString::fromLatin1(LoginItemDragType::plainText));
}

bool LoginItemsTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                        int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent) || !dropRequested) return false;
    LoginItemDrop drop;
    drop.type = *LoginItemDropRules::availableType(offeredTypes(data));
    if (drop.type == LoginItemDragType::privateRows) {
        auto rows = LoginItemDropRules::decodeRows(
            data->data(QString::fromLatin1(LoginItemDragType::privateRows)).toStdString());
        if (!rows) return false;
        drop.rows = std::move(*rows);
    } else if (drop.type == LoginItemDragType::fileNames) {
        drop.paths = LoginItemDropRules::pathsFromURIList(
            data->data(QString::fromLatin1(LoginItemDragType::fileNames)).toStdString());
    } else {
        drop.text = data->text().toStdString();
    }
    int at = row >= 0 ? row : parent.isValid() ? parent.row() : rowCount();
    return dropRequested(drop, at);
}

}  // namespace quillby
