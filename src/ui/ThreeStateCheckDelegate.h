// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStyledItemDelegate>

namespace quillby {

// The lists' check box with three states, 0 (none), 1 (all) and 2 (some), drawn with the images
// "option_no.png", "option_yes.png" and "option_a.png". The model keeps the state under
// Qt::CheckStateRole as a Qt::CheckState, so assistive technology reads it as a check box; a
// click or Space gives the state after it (some and none become all, all becomes none).
class ThreeStateCheckDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The program's 0/1/2 as Qt's check state, and back.
    static Qt::CheckState checkStateFor(int selection);
    static int selectionFor(Qt::CheckState state);
    // The image of a 0/1/2 state.
    static QString imageFor(int selection);
    // The 0/1/2 state a click leaves.
    static int selectionAfterClick(int selection);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

}  // namespace quillby
