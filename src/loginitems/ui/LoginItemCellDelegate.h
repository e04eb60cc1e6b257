#pragma once

#include <QStyledItemDelegate>

// Draws a login item's cell: its icon, its name, and its version or kind as secondary text
// below. Rows are 34 high, the highlighted row 36 and drawn selected; larger fonts make them
// taller.
class LoginItemCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 34;
    static constexpr int kHighlightedRowHeight = 36;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
