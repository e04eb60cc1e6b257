// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/PieChartBubble.h"

#include <QPainter>

namespace quillby {

namespace {

constexpr int kLineHeight = 15;
const QColor kGreen(90, 220, 110);

QFont bubbleFont() {
    QFont font;
    font.setPixelSize(11);
    return font;
}

}  // namespace

PieChartBubble::PieChartBubble(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setFont(bubbleFont());
    hide();
}

void PieChartBubble::showAt(const QString& name, const QString& size, const QPoint& point) {
    name_ = name;
    size_ = size;
    QFontMetrics metrics(font());
    int width = std::max(metrics.horizontalAdvance(name), metrics.horizontalAdvance(size)) + 10;
    setFixedSize(width, 2 * kLineHeight + 6);
    QPoint place = point + QPoint(5, 5);
    // Kept inside the parent so that it is never cut off.
    if (parentWidget()) {
        place.setX(std::min(place.x(), parentWidget()->width() - width));
        place.setY(std::min(place.y(), parentWidget()->height() - height()));
    }
    move(place);
    setAccessibleName(name + QStringLiteral(", ") + size);
    show();
    raise();
    update();
}

void PieChartBubble::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QColor(255, 255, 255, 200));
    painter.setBrush(QColor(25, 25, 25, 191));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.setPen(kGreen);
    painter.drawText(QRect(5, 3, width() - 10, kLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     name_);
    painter.drawText(QRect(5, 3 + kLineHeight, width() - 10, kLineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, size_);
}

void PieChartBubble::mousePressEvent(QMouseEvent*) {
    if (onClick) onClick();
}

}  // namespace quillby
