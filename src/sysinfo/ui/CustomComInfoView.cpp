// SPDX-License-Identifier: GPL-3.0-or-later
#include "sysinfo/ui/CustomComInfoView.h"

#include <QPainter>

#include "ui/ImageProvider.h"
#include "ui/PaintText.h"

namespace quillby {

CustomComInfoView::CustomComInfoView(std::array<ComputerInfoRow, 7> rows, QWidget* parent)
    : QWidget(parent), rows_(std::move(rows)) {
    // Wider with the page (long processor names), never narrower than its design width.
    setMinimumSize(600, kRowHeight * 7);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(tr("About this computer"));
    enableAccessibility(this);
}

void CustomComInfoView::setRows(std::array<ComputerInfoRow, 7> rows) {
    rows_ = std::move(rows);
    update();
    // The values arrive from a worker after the list may have been read.
    QAccessibleInterface* face =
        QAccessible::isActive() ? QAccessible::queryAccessibleInterface(this) : nullptr;
    for (int i = 0; face && i < face->childCount(); ++i) {
        QAccessibleEvent changed(face->child(i), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QRect CustomComInfoView::rowRect(int index) const {
    return {0, index * kRowHeight, width(), kRowHeight - 1};
}

PaintedParts::Part CustomComInfoView::paintedPart(int index) const {
    const auto& row = rows_[static_cast<std::size_t>(index)];
    return {
        QAccessible::ListItem,
        (QString::fromStdString(row.title) + QLatin1Char(' ') + QString::fromStdString(row.value))
            .trimmed(),
        {},
        rowRect(index)};
}

void CustomComInfoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    auto& images = ImageProvider::shared();
    QFont title = font();
    title.setPointSize(11);
    title.setBold(true);
    QFont value = font();
    value.setPointSize(11);
    for (int i = 0; i < 7; ++i) {
        QRect cell = rowRect(i);
        painter.drawImage(cell, images.image(QStringLiteral("mymac_cellbg.png")));
        painter.drawImage(QRect(cell.left() + 10, cell.top() + 6, 24, 24),
                          images.image(QString::fromStdString(rows_[i].icon)));
        painter.setPen(Qt::white);
        painter.setFont(title);
        painter.drawText(cell.adjusted(44, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(rows_[i].title));
        painter.setFont(value);
        drawElidedText(painter, cell.adjusted(200, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::fromStdString(rows_[i].value));
    }
}

}  // namespace quillby
