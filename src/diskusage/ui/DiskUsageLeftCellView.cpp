// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageLeftCellView.h"

#include <QPainter>

#include "ui/ImageProvider.h"
#include "ui/WindowStyle.h"

namespace quillby {

DiskUsageLeftCellView::DiskUsageLeftCellView(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(200, 40);
    setCursor(Qt::PointingHandCursor);
}

void DiskUsageLeftCellView::setCell(const DiskUsageLeftCell& cell) {
    cell_ = cell;
    QString name = QString::fromStdString(cell.name);
    setText(name);
    setToolTip(QString::fromStdString(cell.pathName));
    setAccessibleName(tr("Measure %1").arg(name));
    // The row shows a cut path; assistive technology reads it whole.
    setAccessibleDescription(detailText(QString::fromStdString(cell.pathName)));
    setVisible(!cell.hidden);
    update();
}

QString DiskUsageLeftCellView::detailText(const QString& path) const {
    if (!cell_.usedSize.empty()) {
        return tr("%1 used").arg(QString::fromStdString(cell_.usedSize));
    }
    if (!cell_.totalSize.empty()) {
        return tr("%1 free of %2")
            .arg(QString::fromStdString(cell_.freeSize), QString::fromStdString(cell_.totalSize));
    }
    return path;
}

void DiskUsageLeftCellView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    bool selected = cell_.selectedType == 1;
    ImageProvider& images = ImageProvider::shared();
    painter.drawImage(rect(), images.image(selected ? QStringLiteral("list_hover.png")
                                                    : QStringLiteral("list_1.png")));
    painter.drawPixmap(QRect(6, 6, 28, 28),
                       images.icon(QString::fromStdString(cell_.icon)).pixmap(28, 28));
    QFont font = this->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(WindowStyle::text());
    QFontMetrics metrics(font);
    QRect nameBox(40, 3, width() - 44, 18);
    painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(text(), Qt::ElideRight, nameBox.width()));
    font.setBold(false);
    font.setPointSizeF(font.pointSizeF() * 0.85);
    painter.setFont(font);
    painter.setPen(WindowStyle::secondaryText());
    QRect detailBox(40, 20, width() - 44, 17);
    painter.drawText(
        detailBox, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(font).elidedText(detailText(QString::fromStdString(cell_.shownPath())),
                                      Qt::ElideRight, detailBox.width()));
    if (hasFocus()) {
        painter.setPen(WindowStyle::accent());
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace quillby
