// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/RingChartView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "diskusage/RingPageModel.h"

namespace quillby {

namespace {

QColor colourOf(const RingColour& colour) {
    return QColor(colour.r, colour.g, colour.b);
}

// The annular wedge of a sector as a polygon of `slices` pieces on each arc.
QPainterPath sectorPath(const RingSector& sector, const RingViewport& viewport) {
    auto point = [&](double radius, double degrees) {
        double radians = degrees * std::numbers::pi / 180.0;
        double x = 0, y = 0;
        // 0 degrees along +y, growing clockwise.
        viewport.toPixel(radius * std::sin(radians), radius * std::cos(radians), x, y);
        return QPointF(x, y);
    };
    QPainterPath path;
    int slices = std::max(sector.slices, 1);
    for (int i = 0; i <= slices; ++i) {
        QPointF outer = point(sector.radii.outer, sector.startAngle + sector.sweep * i / slices);
        i == 0 ? path.moveTo(outer) : path.lineTo(outer);
    }
    for (int i = slices; i >= 0; --i) {
        path.lineTo(point(sector.radii.inner, sector.startAngle + sector.sweep * i / slices));
    }
    path.closeSubpath();
    return path;
}

PieTree::PointerEvent pointerEvent(const QMouseEvent& event) {
    QPointF local = event.position();
    QPointF screen = event.globalPosition();
    return {local.x(), local.y(), static_cast<float>(screen.x()), static_cast<float>(screen.y())};
}

}  // namespace

RingChartView::RingChartView(RingPageModel& page, QWidget* parent) : QWidget(parent), page_(page) {
    setMouseTracking(true);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAccessibleName(tr("Disk usage ring chart"));
}

void RingChartView::paintFrame(QPainter& painter, const std::vector<RingSector>& frame,
                               const QSize& size) {
    RingViewport viewport(size.width(), size.height());
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const RingSector& sector : frame) {
        QPainterPath path = sectorPath(sector, viewport);
        painter.setPen(QPen(colourOf(sector.outline), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colourOf(sector.fill));
        painter.drawPath(path);
    }
}

void RingChartView::paintEvent(QPaintEvent*) {
    PieTree* chart = page_.chart();
    if (!chart) return;
    chart->setViewSize(width(), height());
    const auto& frame = chart->drawScene();
    QPainter painter(this);
    paintFrame(painter, frame, size());
}

void RingChartView::mouseMoveEvent(QMouseEvent* event) {
    if (PieTree* chart = page_.chart()) {
        chart->setViewSize(width(), height());
        page_.mouseMoved(pointerEvent(*event));
    }
}

void RingChartView::mousePressEvent(QMouseEvent* event) {
    if (PieTree* chart = page_.chart()) {
        chart->setViewSize(width(), height());
        page_.mouseDown(pointerEvent(*event), event->button() == Qt::LeftButton ? 1 : 0);
    }
}

void RingChartView::leaveEvent(QEvent* event) {
    page_.closeBubble();
    QWidget::leaveEvent(event);
}

}  // namespace quillby
