// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <unordered_map>
#include <vector>

#include "diskusage/EarlierScan.h"
#include "diskusage/FSNode.h"

namespace quillby {

// The item tree as the column browser's model: each folder is a column of its items, largest
// first, with the name, the icon, the size and the three-state check box (Qt::CheckStateRole).
// Rows are made only for folders a view opens, a batch at a time, so a folder of 100,000 items
// opens at once. The tree belongs to the caller and must not change while shown, except
// through this model (checks) and between beginTreeChange and endTreeChange.
class DiskUsageColumnBrowserModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    // Rows made per fetch of a folder.
    static constexpr int kFetchBatch = 2000;
    enum Role {
        SizeRole = Qt::UserRole + 1,  // the size in bytes (qulonglong)
        SizeTextRole,                 // the size text ("3.20 GB")
        IsFolderRole,                 // bool
        ChangeTextRole,  // the change since the previous scan ("+2.10 GB", "new"), when known
    };

    explicit DiskUsageColumnBrowserModel(QObject* parent = nullptr);

    // Shows the tree under `root` (none: nothing), with each item's `changes` when given.
    void setRoot(FSNode* root, const ItemTreeChanges* changes = nullptr);
    // With changes given: each folder lists its items most grown first (a new item counts its
    // whole size; items whose change is unknown last), else largest first. Rows are made anew.
    void setSortByChange(bool byChange);
    bool sortsByChange() const { return byChange_ && changes_; }
    const ItemTreeChanges* changes() const { return changes_; }
    FSNode* root() const { return root_; }
    // The node of an index; the root for the invalid index.
    FSNode* nodeAt(const QModelIndex& index) const;
    // The index of a node of the tree, making the rows up to it as needed; invalid for the
    // root, null or a node that is not in its folder.
    QModelIndex indexOf(const FSNode* node);

    // A click on the item's check box: the states change by the browser's rule and
    // checksChanged is emitted.
    void clickCheckBox(const QModelIndex& index);
    // Asks a shown folder for its items again, as the browser does when it reloads a column:
    // a fully checked or unchecked folder passes its state to its items, whose rows are redrawn.
    void reloadFolder(const QModelIndex& folder);
    // Around a change of the tree's shape (items taken out by a removal): every row is made
    // anew afterwards.
    void beginTreeChange();
    void endTreeChange();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Qt::CheckStateRole (assistive technology's toggle) checks or unchecks through clicks.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  signals:
    // Check states changed somewhere in the tree.
    void checksChanged();

  private:
    QIcon iconFor(const FSNode& node) const;
    QString changeText(const FSNode& node) const;
    // The item shown at `row` of `folder`, and the row of its item `item` (-1: none).
    FSNode* itemAt(const FSNode& folder, int row) const;
    int rowOf(const FSNode& folder, const FSNode* item) const;
    // By folder: the child index of each row, and the row of each child index.
    struct Order {
        std::vector<int> childOfRow;
        std::vector<int> rowOfChild;
    };
    // The folder's items in the change order, made when the folder is first asked for.
    const Order& changeOrder(const FSNode& folder) const;
    int madeRows(const FSNode* folder) const;
    // Drops every made row, folder row and order: the rows are made anew after a reset.
    void forgetRows();

    FSNode* root_ = nullptr;
    const ItemTreeChanges* changes_ = nullptr;
    bool byChange_ = false;
    mutable std::unordered_map<const FSNode*, Order> orders_;
    // How many rows of each opened folder exist.
    std::unordered_map<const FSNode*, int> made_;
    // The row of each folder that has a row, among its father's items.
    mutable std::unordered_map<const FSNode*, int> rowOf_;
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace quillby
