// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppItemCellDelegate.h"

#include <QApplication>
#include <QPainter>

#include "ui/WindowStyle.h"

namespace quillby {

namespace {

QFont secondaryFont(const QFont& font) {
    QFont smaller = font;
    smaller.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() * 0.85 : 8);
    return smaller;
}

}  // namespace

void AppItemCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    bool highlighted = index.data(HighlightedRole).toBool();
    if (highlighted) background.state |= QStyle::State_Selected;
    background.text.clear();
    background.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    painter->save();
    QRect area = option.rect.adjusted(6, 2, -6, -2);
    int iconSide = std::min(area.height(), option.decorationSize.height() + 8);
    QRect iconBox(area.left(), area.center().y() - iconSide / 2, iconSide, iconSide);
    QIcon icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
    icon.paint(painter, iconBox);

    QRect textBox = area.adjusted(iconSide + 8, 0, 0, 0);
    QFont nameFont = option.font;
    if (highlighted) nameFont.setBold(true);
    QFont detailFont = secondaryFont(option.font);
    QFontMetrics nameMetrics(nameFont), detailMetrics(detailFont);
    int textHeight = nameMetrics.height() + detailMetrics.height();
    int top = textBox.center().y() - textHeight / 2;
    QColor nameColour = highlighted ? option.palette.color(QPalette::HighlightedText)
                                    : option.palette.color(QPalette::Text);
    painter->setFont(nameFont);
    painter->setPen(nameColour);
    QString name = nameMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                          textBox.width());
    painter->drawText(QRect(textBox.left(), top, textBox.width(), nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, name);
    painter->setFont(detailFont);
    painter->setPen(highlighted ? nameColour : WindowStyle::secondaryText());
    QString detail = detailMetrics.elidedText(index.data(SecondaryTextRole).toString(),
                                              Qt::ElideRight, textBox.width());
    painter->drawText(
        QRect(textBox.left(), top + nameMetrics.height(), textBox.width(), detailMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, detail);
    painter->restore();
}

QSize AppItemCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    bool highlighted = index.data(HighlightedRole).toBool();
    QFont nameFont = option.font;
    nameFont.setBold(true);
    int textHeight =
        QFontMetrics(nameFont).height() + QFontMetrics(secondaryFont(option.font)).height() + 4;
    int height =
        std::max(kRowHeight, textHeight) + (highlighted ? kHighlightedRowHeight - kRowHeight : 0);
    int width = QFontMetrics(nameFont).horizontalAdvance(index.data(Qt::DisplayRole).toString());
    return {width + 60, height};
}

}  // namespace quillby
