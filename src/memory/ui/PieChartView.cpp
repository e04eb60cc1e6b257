// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/ui/PieChartView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace quillby {

namespace {

constexpr qreal kPi = 3.14159265358979323846;

// A point on the circle at `angle` radians, y growing downwards.
QPointF onCircle(QPointF centre, qreal radius, qreal angle) {
    return {centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle)};
}

QRectF circleBox(QPointF centre, qreal radius) {
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

// QPainterPath angles are in degrees, counter-clockwise with y up; ours grow clockwise on screen.
qreal toQtDegrees(qreal radians) {
    return -radians * 180.0 / kPi;
}

}  // namespace

PieChartView::PieChartView(QWidget* parent) : QWidget(parent) {}

void PieChartView::setItems(std::vector<PieChartItem> items) {
    items_ = std::move(items);
    update();
}

QPointF PieChartView::centreFor(QSize size) {
    qreal chartHeight = 0.8 * size.width();
    return {size.width() / 2.0, chartHeight / 2.0};
}

qreal PieChartView::radiusFor(QSize size) {
    QPointF centre = centreFor(size);
    return std::max<qreal>(0, std::min(centre.y() - 5, centre.x() - 5));
}

std::vector<qreal> PieChartView::sliceAngles() const {
    double total = 0;
    for (const auto& item : items_) total += static_cast<float>(item.value);
    std::vector<qreal> angles{0};
    for (const auto& item : items_) {
        qreal sweep = total > 0 ? static_cast<float>(item.value) / total * 2 * kPi : 0;
        angles.push_back(angles.back() + sweep);
    }
    return angles;
}

void PieChartView::paintEvent(QPaintEvent*) {
    if (items_.empty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPointF centre = centreFor(size());
    qreal radius = radiusFor(size());
    // The disc is squeezed about its centre so that it reads as a flat ellipse.
    painter.translate(centre);
    painter.scale(1.0, kVerticalScale);
    painter.translate(-centre);

    std::vector<qreal> angles = sliceAngles();
    QRectF box = circleBox(centre, radius);
    for (size_t i = 0; i < items_.size(); ++i) {
        qreal start = angles[i], end = angles[i + 1];
        if (end <= start) continue;
        QPainterPath slice(centre);
        slice.arcTo(box, toQtDegrees(start), toQtDegrees(end) - toQtDegrees(start));
        slice.closeSubpath();
        painter.setPen(QPen(QColor::fromRgbF(0.8, 0.8, 0.8, 0.9), 1));
        painter.setBrush(items_[i].color);
        painter.drawPath(slice);
    }

    // The side wall under the front half (angles 0 ... pi face the viewer).
    for (size_t i = 0; i < items_.size(); ++i) {
        qreal start = angles[i];
        if (start >= kPi) break;
        qreal end = std::min(angles[i + 1], kPi);
        if (end <= start) continue;
        QPainterPath wall(onCircle(centre, radius, start));
        wall.arcTo(box, toQtDegrees(start), toQtDegrees(end) - toQtDegrees(start));
        wall.lineTo(onCircle(centre, radius, end) + QPointF(0, kRimHeight));
        QRectF lowered = box.translated(0, kRimHeight);
        wall.arcTo(lowered, toQtDegrees(end), toQtDegrees(start) - toQtDegrees(end));
        wall.closeSubpath();
        painter.setPen(QPen(QColor::fromRgbF(0.9, 0.9, 0.9, 1.0), 1));
        painter.setBrush(items_[i].color);
        painter.drawPath(wall);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(0.1, 0.1, 0.1, 0.4));
        painter.drawPath(wall);
    }
}

}  // namespace quillby
