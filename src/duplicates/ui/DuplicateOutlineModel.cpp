// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicateOutlineModel.h"

#include <QApplication>
#include <QBrush>
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QMimeDatabase>
#include <QStyle>
#include <chrono>

#include "core/text/UtilityFunction.h"
#include "duplicates/DuplicateReview.h"
#include "duplicates/PathComponents.h"
#include "ui/ThreeStateCheckDelegate.h"
#include "ui/WindowStyle.h"

namespace quillby {

DuplicateOutlineModel::DuplicateOutlineModel(QObject* parent) : QAbstractItemModel(parent) {}

void DuplicateOutlineModel::setTree(const TreeNode::Ptr& root) {
    setGroups(root ? root->children() : std::vector<TreeNode::Ptr>{});
}

void DuplicateOutlineModel::setGroups(std::vector<TreeNode::Ptr> groups) {
    beginResetModel();
    groups_ = std::move(groups);
    groupRows_.clear();
    groupRows_.reserve(groups_.size());
    for (size_t row = 0; row < groups_.size(); ++row) {
        groupRows_[groups_[row].get()] = static_cast<int>(row);
    }
    endResetModel();
}

TreeNode* DuplicateOutlineModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

bool DuplicateOutlineModel::isGroup(const TreeNode* node) const {
    // Groups are made as group nodes, members as leaves: no look-up needed.
    return node && node->nodeData() && node->nodeData()->isGroup();
}

TreeNode::Ptr DuplicateOutlineModel::nodeAt(const QModelIndex& index) const {
    TreeNode* node = nodeOf(index);
    return node ? node->shared_from_this() : nullptr;
}

QModelIndex DuplicateOutlineModel::indexOfGroup(const TreeNode* group, int column) const {
    auto found = groupRows_.find(group);
    if (found == groupRows_.end()) return {};
    return createIndex(found->second, column, const_cast<TreeNode*>(group));
}

void DuplicateOutlineModel::refreshChecks() {
    int groups = rowCount();
    if (groups == 0) return;
    emit dataChanged(index(0, CheckColumn), index(groups - 1, CountColumn));
}

QModelIndex DuplicateOutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount) return {};
    if (!parent.isValid()) {
        if (static_cast<size_t>(row) >= groups_.size()) return {};
        return createIndex(row, column, groups_[static_cast<size_t>(row)].get());
    }
    TreeNode* holder = nodeOf(parent);
    // Members have no rows below them.
    if (!isGroup(holder) || static_cast<size_t>(row) >= holder->numberOfChildren()) return {};
    return createIndex(row, column, holder->childAtIndex(static_cast<size_t>(row)).get());
}

QModelIndex DuplicateOutlineModel::parent(const QModelIndex& index) const {
    TreeNode* node = nodeOf(index);
    if (!node || isGroup(node) || !node->nodeParent()) return {};
    return indexOfGroup(node->nodeParent());
}

int DuplicateOutlineModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(groups_.size());
    if (parent.column() != 0) return 0;
    TreeNode* node = nodeOf(parent);
    // Only groups expand.
    return isGroup(node) ? static_cast<int>(node->numberOfChildren()) : 0;
}

int DuplicateOutlineModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool DuplicateOutlineModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QIcon DuplicateOutlineModel::iconFor(const SimpleNodeData& data, bool group) const {
    // Icons come from the name's type alone: the view never touches the disk for them.
    QString extension =
        QString::fromStdString(group ? std::string(data.extension())
                                     : std::string(pathExtension(lastPathComponent(data.name))));
    auto cached = icons_.constFind(extension);
    if (cached != icons_.constEnd()) return *cached;
    QIcon icon;
    if (extension.compare(QLatin1String("APP"), Qt::CaseInsensitive) == 0) {
        icon = QIcon::fromTheme(QStringLiteral("application-x-executable"),
                                QApplication::style()->standardIcon(QStyle::SP_DirIcon));
    } else {
        static const QMimeDatabase mimes;
        QMimeType type =
            mimes.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    }
    icons_.insert(extension, icon);
    return icon;
}

QVariant DuplicateOutlineModel::data(const QModelIndex& index, int role) const {
    TreeNode* node = nodeOf(index);
    if (!node || !node->nodeData()) return {};
    const SimpleNodeData& data = *node->nodeData();
    const bool group = isGroup(node);
    const bool sharedName = !group && sharedFileRule_ && sharedFileRule_(*node);
    switch (role) {
        case Qt::CheckStateRole:
            if (index.column() == CheckColumn) {
                return ThreeStateCheckDelegate::checkStateFor(data.selectNum);
            }
            return {};
        case Qt::ToolTipRole:
            if (sharedName) {
                return tr("%1\nAnother name of a file that stays: removing it frees nothing.")
                    .arg(QString::fromStdString(data.name));
            }
            return QString::fromStdString(data.name);
        case Qt::DecorationRole:
            return index.column() == NameColumn ? iconFor(data, group) : QVariant();
        case Qt::ForegroundRole:
            if (index.column() != NameColumn) return {};
            return group ? QBrush(Qt::white)
                         : QBrush(QColor::fromRgbF(0.8431, 0.8431, 0.8431, 0.7));
        case Qt::FontRole: {
            if (index.column() != NameColumn) return {};
            QFont font;
            font.setBold(true);
            font.setItalic(sharedName);
            return font;
        }
        case Qt::AccessibleTextRole:
        case Qt::DisplayRole:
            break;
        default:
            return {};
    }
    switch (index.column()) {
        case NameColumn:
            return QString::fromStdString(data.name);
        case CountColumn:
            return group ? QString::fromStdString(DuplicateReview::showSelectNumStr(*node))
                         : QString();
        case SizeColumn:
            return QString::fromStdString(UtilityFunction::convertVolSpace(data.fileSize));
        case DateColumn: {
            if (group || !data.ModificationDate) return QString();
            auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                               data.ModificationDate->time_since_epoch())
                               .count();
            return QLocale().toString(QDateTime::fromSecsSinceEpoch(seconds), QLocale::ShortFormat);
        }
        case CheckColumn:
            if (role == Qt::AccessibleTextRole) {
                return data.selectNum == 0 ? tr("Not ticked") : tr("Ticked");
            }
            return {};
        default:
            return {};
    }
}

bool DuplicateOutlineModel::setData(const QModelIndex& index, const QVariant&, int role) {
    TreeNode* node = nodeOf(index);
    if (!node || role != Qt::CheckStateRole || index.column() != CheckColumn) return false;
    if (checkHandler_) checkHandler_(node->shared_from_this());
    return true;
}

Qt::ItemFlags DuplicateOutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == CheckColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant DuplicateOutlineModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case NameColumn:
            return tr("Name");
        case CountColumn:
            return tr("Ticked");
        case SizeColumn:
            return tr("Size");
        case DateColumn:
            return tr("Modified");
        default:
            return QString();
    }
}

}  // namespace quillby
