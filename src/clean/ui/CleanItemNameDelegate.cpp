// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanItemNameDelegate.h"

#include <QPainter>

#include "ui/WindowStyle.h"

namespace quillby {

void CleanItemNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    painter->save();
    if (index.data(HighlightedRole).toBool()) {
        painter->fillRect(option.rect, option.palette.highlight());
    }
    QRect area = option.rect.adjusted(4, 2, -4, -2);
    QFont nameFont = option.font;
    QFont pathFont = option.font;
    pathFont.setPointSizeF(option.font.pointSizeF() * 0.85);
    QFontMetrics nameMetrics(nameFont);
    QFontMetrics pathMetrics(pathFont);
    int top = area.top() + (area.height() - nameMetrics.height() - pathMetrics.height()) / 2;
    QRect nameRect(area.left(), top, area.width(), nameMetrics.height());
    QRect pathRect(area.left(), nameRect.bottom() + 1, area.width(), pathMetrics.height());
    painter->setFont(nameFont);
    painter->setPen(WindowStyle::text());
    painter->drawText(
        nameRect, Qt::AlignLeft | Qt::AlignVCenter,
        nameMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, nameRect.width()));
    painter->setFont(pathFont);
    painter->setPen(WindowStyle::secondaryText());
    painter->drawText(
        pathRect, Qt::AlignLeft | Qt::AlignVCenter,
        pathMetrics.elidedText(index.data(PathRole).toString(), Qt::ElideMiddle, pathRect.width()));
    painter->restore();
}

QSize CleanItemNameDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QFont pathFont = option.font;
    pathFont.setPointSizeF(option.font.pointSizeF() * 0.85);
    return {size.width(), QFontMetrics(option.font).height() + QFontMetrics(pathFont).height() + 6};
}

}  // namespace quillby
