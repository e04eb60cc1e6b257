// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <functional>
#include <unordered_map>
#include <vector>

#include "duplicates/TreeNode.h"

namespace quillby {

// The results outline of the duplicate page: a lazy item model over a result tree (groups, then
// their members), so that a search with tens of thousands of groups opens and sorts at once:
// rows are read from the tree when the view asks; only the list of groups on show is held.
// Columns: the check box, the name with its icon, "ticked/members" for groups, the size and the
// modification date.
class DuplicateOutlineModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    enum Column { CheckColumn, NameColumn, CountColumn, SizeColumn, DateColumn, ColumnCount };

    explicit DuplicateOutlineModel(QObject* parent = nullptr);

    // Shows the groups of `root` (null: nothing). Call it again after the tree changed shape
    // (sorted, rows removed).
    void setTree(const TreeNode::Ptr& root);
    // Shows these groups (a filtered part of a tree), in this order.
    void setGroups(std::vector<TreeNode::Ptr> groups);
    // The node of a row, or null.
    TreeNode::Ptr nodeAt(const QModelIndex& index) const;
    // The row of a group.
    QModelIndex indexOfGroup(const TreeNode* group, int column = 0) const;
    // Told when a row's check box is clicked (setData with Qt::CheckStateRole).
    void setCheckHandler(std::function<void(const TreeNode::Ptr&)> handler) {
        checkHandler_ = std::move(handler);
    }
    // Tells which members are names of a file that has other names (shown in italics, with a
    // tooltip saying that removing them frees nothing).
    void setSharedFileRule(std::function<bool(const TreeNode&)> rule) {
        sharedFileRule_ = std::move(rule);
    }
    // The check boxes and counts may have changed everywhere.
    void refreshChecks();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    TreeNode* nodeOf(const QModelIndex& index) const;
    // A group row of the shown tree (its parent pointer may name another category's tree,
    // which holds the same group, so the node's own kind tells).
    bool isGroup(const TreeNode* node) const;
    QIcon iconFor(const SimpleNodeData& data, bool group) const;

    std::vector<TreeNode::Ptr> groups_;
    std::unordered_map<const TreeNode*, int> groupRows_;
    std::function<void(const TreeNode::Ptr&)> checkHandler_;
    std::function<bool(const TreeNode&)> sharedFileRule_;
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace quillby
