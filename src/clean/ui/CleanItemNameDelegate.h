#pragma once

#include <QStyledItemDelegate>

// Draws a review row's name with its path below it in smaller, dimmer type, on the highlight
// colour when the row is the highlighted one.
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
