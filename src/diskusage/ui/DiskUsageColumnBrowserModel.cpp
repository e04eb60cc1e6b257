// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"

#include <QMimeDatabase>
#include <algorithm>
#include <climits>

#include "core/text/UtilityFunction.h"
#include "diskusage/DiskUsageItem.h"
#include "diskusage/FileSystemBrowserModel.h"
#include "ui/ImageProvider.h"
#include "ui/ThreeStateCheckDelegate.h"

namespace quillby {

namespace {

int rowIn(const FSNode& folder, const FSNode* item) {
    auto& items = folder.children;
    auto found = std::find_if(items.begin(), items.end(),
                              [item](const auto& child) { return child.get() == item; });
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

QString sizeText(const FSNode& node) {
    return QString::fromStdString(UtilityFunction::convertVolSpace(node.size));
}

}  // namespace

QString DiskUsageColumnBrowserModel::changeText(const FSNode& node) const {
    return changes_ ? QString::fromStdString(changes_->textOf(&node)) : QString();
}

DiskUsageColumnBrowserModel::DiskUsageColumnBrowserModel(QObject* parent)
    : QAbstractItemModel(parent) {}

void DiskUsageColumnBrowserModel::setRoot(FSNode* root, const ItemTreeChanges* changes) {
    beginResetModel();
    root_ = root;
    changes_ = changes;
    forgetRows();
    endResetModel();
}

void DiskUsageColumnBrowserModel::setSortByChange(bool byChange) {
    if (byChange == byChange_) return;
    beginResetModel();
    byChange_ = byChange;
    forgetRows();
    endResetModel();
}

void DiskUsageColumnBrowserModel::forgetRows() {
    made_.clear();
    rowOf_.clear();
    orders_.clear();
}

const DiskUsageColumnBrowserModel::Order& DiskUsageColumnBrowserModel::changeOrder(
    const FSNode& folder) const {
    Order& order = orders_[&folder];
    if (order.childOfRow.size() == folder.children.size()) return order;
    auto key = [this, &folder](int child) {
        auto change = changes_->of(folder.children[static_cast<std::size_t>(child)].get());
        return change ? std::optional(change->bytes) : std::nullopt;
    };
    order.childOfRow.resize(folder.children.size());
    for (std::size_t i = 0; i < order.childOfRow.size(); ++i)
        order.childOfRow[i] = static_cast<int>(i);
    // Stable, so that equal changes stay largest first.
    std::stable_sort(order.childOfRow.begin(), order.childOfRow.end(), [&](int a, int b) {
        auto first = key(a);
        auto second = key(b);
        if (first.has_value() != second.has_value()) return first.has_value();
        return first && *first > *second;
    });
    order.rowOfChild.resize(order.childOfRow.size());
    for (std::size_t row = 0; row < order.childOfRow.size(); ++row)
        order.rowOfChild[static_cast<std::size_t>(order.childOfRow[row])] = static_cast<int>(row);
    return order;
}

FSNode* DiskUsageColumnBrowserModel::itemAt(const FSNode& folder, int row) const {
    int child =
        sortsByChange() ? changeOrder(folder).childOfRow[static_cast<std::size_t>(row)] : row;
    return folder.children[static_cast<std::size_t>(child)].get();
}

int DiskUsageColumnBrowserModel::rowOf(const FSNode& folder, const FSNode* item) const {
    int child = rowIn(folder, item);
    if (child < 0 || !sortsByChange()) return child;
    return changeOrder(folder).rowOfChild[static_cast<std::size_t>(child)];
}

FSNode* DiskUsageColumnBrowserModel::nodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<FSNode*>(index.internalPointer()) : root_;
}

int DiskUsageColumnBrowserModel::madeRows(const FSNode* folder) const {
    auto found = made_.find(folder);
    return found == made_.end() ? 0 : found->second;
}

QModelIndex DiskUsageColumnBrowserModel::indexOf(const FSNode* node) {
    if (!node || !root_ || node == root_ || !node->father) return {};
    QModelIndex folder;
    if (node->father != root_) {
        folder = indexOf(node->father);
        if (!folder.isValid()) return {};
    }
    int row = rowOf(*node->father, node);
    if (row < 0) return {};
    while (madeRows(node->father) <= row && canFetchMore(folder)) fetchMore(folder);
    return index(row, 0, folder);
}

void DiskUsageColumnBrowserModel::clickCheckBox(const QModelIndex& index) {
    if (!index.isValid()) return;
    FileSystemBrowserModel::clickCheckBox(*nodeAt(index));
    emit checksChanged();
}

void DiskUsageColumnBrowserModel::reloadFolder(const QModelIndex& folder) {
    FSNode* node = nodeAt(folder);
    int made = node ? madeRows(node) : 0;
    if (made == 0) return;
    FileSystemBrowserModel::numberOfChildrenOfItem(*node);
    emit dataChanged(index(0, 0, folder), index(made - 1, 0, folder), {Qt::CheckStateRole});
}

void DiskUsageColumnBrowserModel::beginTreeChange() {
    beginResetModel();
}

void DiskUsageColumnBrowserModel::endTreeChange() {
    forgetRows();
    endResetModel();
}

QModelIndex DiskUsageColumnBrowserModel::index(int row, int column,
                                               const QModelIndex& parent) const {
    FSNode* folder = nodeAt(parent);
    if (!folder || column != 0 || row < 0 || row >= madeRows(folder)) return {};
    return createIndex(row, 0, itemAt(*folder, row));
}

QModelIndex DiskUsageColumnBrowserModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    FSNode* father = nodeAt(child)->father;
    if (!father || father == root_ || !father->father) return {};
    auto known = rowOf_.find(father);
    int row = known != rowOf_.end() ? known->second : rowOf(*father->father, father);
    if (row < 0) return {};
    rowOf_[father] = row;
    return createIndex(row, 0, father);
}

int DiskUsageColumnBrowserModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    FSNode* folder = nodeAt(parent);
    return folder ? madeRows(folder) : 0;
}

int DiskUsageColumnBrowserModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool DiskUsageColumnBrowserModel::hasChildren(const QModelIndex& parent) const {
    FSNode* folder = nodeAt(parent);
    if (!folder) return false;
    return parent.isValid() ? folder->isDirectory : !folder->children.empty();
}

bool DiskUsageColumnBrowserModel::canFetchMore(const QModelIndex& parent) const {
    FSNode* folder = nodeAt(parent);
    return folder && static_cast<size_t>(madeRows(folder)) < folder->children.size();
}

void DiskUsageColumnBrowserModel::fetchMore(const QModelIndex& parent) {
    FSNode* folder = nodeAt(parent);
    if (!folder) return;
    int made = madeRows(folder);
    // Opening a folder asks for its items, as the browser does: its state passes on to them.
    if (made == 0) FileSystemBrowserModel::numberOfChildrenOfItem(*folder);
    int total = static_cast<int>(std::min<size_t>(folder->children.size(), INT_MAX));
    int count = std::min(kFetchBatch, total - made);
    if (count <= 0) return;
    beginInsertRows(parent, made, made + count - 1);
    for (int row = made; row < made + count; ++row) {
        const FSNode* item = itemAt(*folder, row);
        if (item->isDirectory) rowOf_[item] = row;
    }
    made_[folder] = made + count;
    endInsertRows();
}

QVariant DiskUsageColumnBrowserModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const FSNode& node = *nodeAt(index);
    switch (role) {
        case Qt::DisplayRole:
            // Marked as the command line marks it.
            return QString::fromUtf8(node.unreadable ? kUnreadableMark
                                     : node.excluded ? kExcludedMark
                                                     : "") +
                   QString::fromStdString(node.displayName());
        case Qt::DecorationRole:
            return iconFor(node);
        case Qt::CheckStateRole:
            return ThreeStateCheckDelegate::checkStateFor(node.isButtonState);
        case Qt::ToolTipRole:
            return QString::fromStdString(node.path()) + QStringLiteral("\n") + sizeText(node) +
                   (node.unreadable ? QStringLiteral("\n") + tr(kUnreadableTip)
                    : node.excluded ? QStringLiteral("\n") + tr(kExcludedTip)
                                    : QString());
        case Qt::AccessibleTextRole: {
            QString change = changeText(node);
            return tr("%1, %2%3%4%5")
                .arg(QString::fromStdString(node.displayName()), sizeText(node),
                     node.isDirectory ? tr(", folder") : QString(),
                     node.unreadable ? tr(", could not be read")
                     : node.excluded ? tr(", excluded")
                                     : QString(),
                     change.isEmpty() ? QString() : tr(", %1 since the last scan").arg(change));
        }
        case ChangeTextRole:
            return changeText(node);
        case SizeRole:
            return QVariant::fromValue<qulonglong>(node.size);
        case SizeTextRole:
            return sizeText(node);
        case IsFolderRole:
            return node.isDirectory;
        default:
            return {};
    }
}

bool DiskUsageColumnBrowserModel::setData(const QModelIndex& index, const QVariant& value,
                                          int role) {
    if (!index.isValid() || role != Qt::CheckStateRole) return false;
    int wanted = ThreeStateCheckDelegate::selectionFor(static_cast<Qt::CheckState>(value.toInt()));
    if (wanted == 2) return false;  // "partly" follows from the items, it is not chosen
    FSNode& node = *nodeAt(index);
    // Clicks go 2 → 1 → 0, so two reach any state.
    for (int clicks = 0; clicks < 2 && node.isButtonState != wanted; ++clicks) {
        FileSystemBrowserModel::clickCheckBox(node);
    }
    emit checksChanged();
    return true;
}

Qt::ItemFlags DiskUsageColumnBrowserModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (!nodeAt(index)->isDirectory) flags |= Qt::ItemNeverHasChildren;
    return flags;
}

QIcon DiskUsageColumnBrowserModel::iconFor(const FSNode& node) const {
    ImageProvider& images = ImageProvider::shared();
    if (node.isDirectory) return images.icon(QStringLiteral("item_folder.png"));
    if (!images.usesThemeIcons()) return images.icon(QStringLiteral("item_file.png"));
    // The type is told by the name alone: nothing is read from the disk while drawing.
    QString name = QString::fromStdString(node.displayName());
    QString key = name.section(QLatin1Char('.'), -1).toLower();
    if (auto cached = icons_.constFind(key); cached != icons_.constEnd()) return *cached;
    QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull()) icon = images.icon(QStringLiteral("item_file.png"));
    icons_.insert(key, icon);
    return icon;
}

}  // namespace quillby
