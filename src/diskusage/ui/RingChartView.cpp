// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/RingChartView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "core/text/UtilityFunction.h"
#include "diskusage/RingLabels.h"
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
    setFocusPolicy(Qt::StrongFocus);
    enableAccessibility(this);
}

const std::vector<RingSector>& RingChartView::frame() const {
    static const std::vector<RingSector> none;
    PieTree* chart = page_.chart();
    return chart ? chart->lastFrame() : none;
}

int RingChartView::paintedPartCount() const {
    return static_cast<int>(frame().size());
}

int RingChartView::focusedPart() const {
    int count = paintedPartCount();
    return count ? std::clamp(focused_, 0, count - 1) : -1;
}

PaintedParts::Part RingChartView::paintedPart(int index) const {
    const RingSector& sector = frame()[static_cast<std::size_t>(index)];
    Part part;
    part.role = QAccessible::ListItem;
    part.pressable = true;
    part.rect = sectorPath(sector, RingViewport(width(), height())).boundingRect().toRect();
    if (!sector.node) return part;
    part.name = QString::fromStdString(sector.node->name());
    part.description =
        QString::fromStdString(UtilityFunction::convertVolSpace(
            static_cast<std::uint64_t>(std::max<std::int64_t>(sector.node->size, 0)))) +
        (sector.node->depth == 1 ? tr(", the folder shown; Enter goes up") : QString());
    return part;
}

void RingChartView::pressPart(int index) {
    if (index < 0 || index >= paintedPartCount()) return;
    const RingFolderNode* node = frame()[static_cast<std::size_t>(index)].node;
    if (!node) return;
    // The centre disc leads up, as its click does; any other sector opens its folder.
    const RingFolderNode* target = node->depth == 1 ? node->parent : node;
    if (!target) return;
    focused_ = 0;
    page_.showFolder(target->path());
    update();
    if (hasFocus()) announceFocus(this, focusedPart());
}

void RingChartView::moveFocus(int step) {
    int count = paintedPartCount();
    if (!count) return;
    focused_ = (focusedPart() + step + count) % count;
    update();
    announceFocus(this, focused_);
}

void RingChartView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Right:
        case Qt::Key_Down:
            moveFocus(1);
            return;
        case Qt::Key_Left:
        case Qt::Key_Up:
            moveFocus(-1);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pressPart(focusedPart());
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void RingChartView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    announceFocus(this, focusedPart());
}

QColor RingChartView::textOn(const RingColour& fill) {
    double luminance = 0.299 * fill.r + 0.587 * fill.g + 0.114 * fill.b;
    return luminance > 140 ? QColor(20, 20, 24) : QColor(245, 245, 245);
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

void RingChartView::paintLabels(QPainter& painter, const std::vector<RingSector>& frame,
                                const QSize& size, const QFont& font) {
    RingViewport viewport(size.width(), size.height());
    QFontMetricsF metrics(font);
    TextWidth width = [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    double line = metrics.height();
    painter.setFont(font);
    for (const RingLabel& label : sectorLabels(frame, viewport, width, line)) {
        const RingSector& sector = *std::find_if(frame.begin(), frame.end(), [&](const auto& s) {
            return s.node == label.node && s.highlight == label.highlight;
        });
        painter.save();
        painter.translate(label.x, label.y);
        painter.rotate(label.angle);
        painter.setPen(textOn(sector.fill));
        QRectF box(-label.room / 2, -line / 2, label.room, line);
        painter.drawText(box, Qt::AlignCenter, QString::fromStdString(label.text));
        painter.restore();
    }
    CentreLabel centre = centreLabel(frame, viewport, width, line);
    painter.setPen(QColor(245, 245, 245));
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRectF(centre.x - 200, centre.y - line, 400, line), Qt::AlignCenter,
                     QString::fromStdString(centre.name));
    painter.setFont(font);
    painter.drawText(QRectF(centre.x - 200, centre.y, 400, line), Qt::AlignCenter,
                     QString::fromStdString(centre.total));
}

void RingChartView::paintEvent(QPaintEvent*) {
    PieTree* chart = page_.chart();
    if (!chart) return;
    chart->setViewSize(width(), height());
    const auto& frame = chart->drawScene();
    QPainter painter(this);
    paintFrame(painter, frame, size());
    QFont labels = font();
    labels.setPointSizeF(std::max(7.0, labels.pointSizeF() * 0.85));
    paintLabels(painter, frame, size(), labels);
    int focused = focusedPart();
    if (hasFocus() && focused >= 0) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(
            sectorPath(frame[static_cast<std::size_t>(focused)], RingViewport(width(), height())));
    }
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
