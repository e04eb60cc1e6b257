// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

namespace quillby {

// Draws an application's cell in the login-items and uninstaller tables: its icon, its name, and
// the secondary text (SecondaryTextRole) below. Rows are 34 high, the highlighted row 36 and drawn
// selected; larger fonts make them taller.
class AppItemCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    // The roles the models of application rows answer besides Qt's own.
    enum Role { SecondaryTextRole = Qt::UserRole + 1, HighlightedRole };

    static constexpr int kRowHeight = 34;
    static constexpr int kHighlightedRowHeight = 36;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quillby
