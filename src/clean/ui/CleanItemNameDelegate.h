// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

namespace quillby {

// Draws a review row's name with its path (or, for a package tool's item, what it is) below it
// in smaller, dimmer type, on the highlight colour when the row is the highlighted one.
class CleanItemNameDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The roles the delegate reads besides the name (Qt::DisplayRole).
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int HighlightedRole = Qt::UserRole + 1;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quillby
