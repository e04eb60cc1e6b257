// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageColumnBrowserRowDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include "diskusage/FileSystemBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"
#include "ui/ImageProvider.h"
#include "ui/ThreeStateCheckDelegate.h"
#include "ui/WindowStyle.h"

namespace quillby {

namespace {

constexpr int kCheckBoxLeft = 3;
constexpr int kCheckBoxTop = 12;
constexpr int kCheckBoxSide = 18;
constexpr int kIconLeft = 25;
constexpr int kIconSide = 30;
constexpr int kTextLeft = kIconLeft + kIconSide + 6;
constexpr int kArrowWidth = 14;

void drawArrow(QPainter& painter, const QRect& area, const QColor& colour) {
    QPointF centre = QRectF(area).center();
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-2.5, -4.5));
    arrow.lineTo(centre + QPointF(2.5, 0));
    arrow.lineTo(centre + QPointF(-2.5, 4.5));
    painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arrow);
}

}  // namespace

QColor DiskUsageColumnBrowserRowDelegate::colourOf(SizeColour colour) {
    switch (colour) {
        case SizeColour::White:
            return {235, 238, 244};
        case SizeColour::Green:
            return {90, 200, 110};
        case SizeColour::Yellow:
            return {235, 205, 60};
        case SizeColour::Orange:
            return {245, 145, 45};
        case SizeColour::Red:
            return {235, 70, 60};
    }
    return {235, 238, 244};
}

QRect DiskUsageColumnBrowserRowDelegate::checkBoxRect(const QRect& row) {
    return {row.left() + kCheckBoxLeft, row.top() + kCheckBoxTop, kCheckBoxSide, kCheckBoxSide};
}

void DiskUsageColumnBrowserRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const {
    // The backdrop (selection, hover) comes from the style; everything on it is drawn here.
    QStyleOptionViewItem backdrop = option;
    initStyleOption(&backdrop, index);
    backdrop.text.clear();
    backdrop.icon = QIcon();
    backdrop.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &backdrop, painter, widget);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect& row = option.rect;
    auto state = static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt());
    std::string_view boxName =
        FileSystemBrowserModel::checkBoxImageName(ThreeStateCheckDelegate::selectionFor(state));
    QString boxImage = QString::fromLatin1(boxName.data(), static_cast<qsizetype>(boxName.size()));
    painter->drawImage(checkBoxRect(row), ImageProvider::shared().image(boxImage));

    QRect icon(row.left() + kIconLeft, row.top() + (row.height() - kIconSide) / 2, kIconSide,
               kIconSide);
    index.data(Qt::DecorationRole).value<QIcon>().paint(painter, icon);

    bool folder = index.data(DiskUsageColumnBrowserModel::IsFolderRole).toBool();
    bool selected = option.state & QStyle::State_Selected;
    QColor text = selected ? option.palette.color(QPalette::HighlightedText) : WindowStyle::text();
    QRect content(row.left() + kTextLeft, row.top(), row.width() - kTextLeft - kArrowWidth,
                  row.height());
    if (folder) {
        drawArrow(*painter, QRect(content.right() + 1, row.top(), kArrowWidth, row.height()),
                  WindowStyle::secondaryText());
    }

    QString size = index.data(DiskUsageColumnBrowserModel::SizeTextRole).toString();
    QFontMetrics metrics(option.font);
    int sizeWidth = metrics.horizontalAdvance(size);
    auto bytes = index.data(DiskUsageColumnBrowserModel::SizeRole).toULongLong();
    painter->setFont(option.font);
    painter->setPen(colourOf(sizeColourFor(bytes)));
    painter->drawText(content, Qt::AlignRight | Qt::AlignVCenter, size);

    // The change since the previous scan, when one was compared, stands left of the size.
    QString change = index.data(DiskUsageColumnBrowserModel::ChangeTextRole).toString();
    if (!change.isEmpty()) {
        QRect changeArea = content.adjusted(0, 0, -(sizeWidth + 8), 0);
        painter->setPen(WindowStyle::secondaryText());
        painter->drawText(changeArea, Qt::AlignRight | Qt::AlignVCenter, change);
        sizeWidth += metrics.horizontalAdvance(change) + 8;
    }

    QRect name = content.adjusted(0, 0, -(sizeWidth + 8), 0);
    painter->setPen(text);
    painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(index.data().toString(), Qt::ElideMiddle, name.width()));
    painter->restore();
}

QSize DiskUsageColumnBrowserRowDelegate::sizeHint(const QStyleOptionViewItem&,
                                                  const QModelIndex&) const {
    return {280, static_cast<int>(FileSystemBrowserModel::kRowHeight)};
}

bool DiskUsageColumnBrowserRowDelegate::editorEvent(QEvent*, QAbstractItemModel*,
                                                    const QStyleOptionViewItem&,
                                                    const QModelIndex&) {
    return false;
}

}  // namespace quillby
