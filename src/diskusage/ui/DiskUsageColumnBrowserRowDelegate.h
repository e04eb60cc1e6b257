// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>
#include <QStyledItemDelegate>

#include "diskusage/SizeColour.h"

namespace quillby {

// Draws one row of the column browser, 34 high: the 18 × 18 check box at 3 from the left and 12
// from the top (the images of checkBoxImageName), the 30 × 30 icon, the name, the size text in
// its size colour, and an arrow on folders.
class DiskUsageColumnBrowserRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The colour a size text is drawn in.
    static QColor colourOf(SizeColour colour);
    // Where the check box of a row drawn in `row` lies.
    static QRect checkBoxRect(const QRect& row);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  protected:
    // Check-box clicks are the view's (only inside the drawn box): none toggles here.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

}  // namespace quillby
