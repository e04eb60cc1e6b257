// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/TreemapView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/text/UtilityFunction.h"
#include "diskusage/RingPageModel.h"
#include "diskusage/ui/RingChartView.h"

namespace quillby {

namespace {

QColor colourOf(const RingColour& colour) {
    return QColor(colour.r, colour.g, colour.b);
}

// A pixel's gap on the right and bottom keeps neighbouring tiles apart.
QRectF shownRect(const TreemapRect& rect) {
    return {rect.x, rect.y, std::max(rect.width - 1, 1.0), std::max(rect.height - 1, 1.0)};
}

PieTree::PointerEvent pointerEvent(const QMouseEvent& event) {
    QPointF local = event.position();
    QPointF screen = event.globalPosition();
    return {local.x(), local.y(), static_cast<float>(screen.x()), static_cast<float>(screen.y())};
}

}  // namespace

TreemapView::TreemapView(RingPageModel& page, QWidget* parent) : QWidget(parent), page_(page) {
    setMouseTracking(true);
    setAccessibleName(tr("Disk usage treemap"));
    setFocusPolicy(Qt::StrongFocus);
    enableAccessibility(this);
}

void TreemapView::paintTiles(QPainter& painter, const TreemapLayout& layout,
                             const std::vector<const TreemapTile*>& selected, int hovered,
                             const QSize& size, const QFont& font) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(30, 30, 34));
    const auto& tiles = layout.tiles();
    for (const TreemapTile& tile : tiles) {
        QColor fill = colourOf(TreemapLayout::colourOf(tile));
        QRectF outer = shownRect(tile.rect);
        if (!tile.subdivided) {
            painter.fillRect(outer, fill);
            continue;
        }
        // Only the frame around the tiles inside: filling it whole would paint each pixel once
        // per level.
        TreemapRect inner = layout.innerRect(tile);
        double bottom = inner.y + inner.height;
        double right = inner.x + inner.width;
        painter.fillRect(QRectF(outer.x(), outer.y(), outer.width(), inner.y - outer.y()), fill);
        painter.fillRect(QRectF(outer.x(), bottom, outer.width(), outer.bottom() - bottom), fill);
        painter.fillRect(QRectF(outer.x(), inner.y, inner.x - outer.x(), inner.height), fill);
        painter.fillRect(QRectF(right, inner.y, outer.right() - right, inner.height), fill);
    }
    // Names on the folder's own items only: deeper ones are read from the bubble.
    QFontMetricsF metrics(font);
    double line = metrics.height();
    painter.setFont(font);
    for (const TreemapTile& tile : tiles) {
        if (tile.depth != 1) continue;
        double room = tile.subdivided ? layout.innerRect(tile).y - tile.rect.y : tile.rect.height;
        if (room < line || tile.rect.width < 30) continue;
        QRectF band(tile.rect.x + 4, tile.rect.y + 1, tile.rect.width - 8, line);
        QString name = metrics.elidedText(QString::fromStdString(layout.nameOf(tile)),
                                          Qt::ElideRight, band.width());
        painter.setPen(RingChartView::textOn(TreemapLayout::colourOf(tile)));
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, name);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(245, 215, 66), 2.0));
    for (const TreemapTile* tile : selected) {
        painter.drawRect(shownRect(tile->rect).adjusted(1, 1, -1, -1));
    }
    if (hovered >= 0 && hovered < static_cast<int>(tiles.size())) {
        painter.setPen(QPen(QColor(250, 250, 250), 1.0));
        painter.drawRect(shownRect(tiles[static_cast<std::size_t>(hovered)].rect));
    }
}

void TreemapView::paintEvent(QPaintEvent*) {
    page_.layOutTreemap(width(), height());
    QPainter painter(this);
    QFont names = font();
    names.setPointSizeF(std::max(7.0, names.pointSizeF() * 0.85));
    paintTiles(painter, page_.treemap(), page_.selectedTiles(), page_.hoveredTile(), size(), names);
    int focused = focusedPart();
    if (hasFocus() && focused >= 0) {
        // Dotted and inside the tile, so that a selection's outline still shows.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.0, Qt::DotLine));
        painter.drawRect(
            shownRect(items()[static_cast<std::size_t>(focused)]->rect).adjusted(3, 3, -3, -3));
    }
}

std::vector<const TreemapTile*> TreemapView::items() const {
    std::vector<const TreemapTile*> shown;
    for (const auto& tile : page_.treemap().tiles()) {
        if (tile.depth == 1) shown.push_back(&tile);
    }
    return shown;
}

int TreemapView::paintedPartCount() const {
    return static_cast<int>(items().size());
}

int TreemapView::focusedPart() const {
    int count = paintedPartCount();
    return count ? std::clamp(focused_, 0, count - 1) : -1;
}

PaintedParts::Part TreemapView::paintedPart(int index) const {
    const TreemapTile& tile = *items()[static_cast<std::size_t>(index)];
    Part part;
    part.role = QAccessible::ListItem;
    part.pressable = tile.tile != TreemapTileKind::File;
    part.rect = shownRect(tile.rect).toRect();
    part.name = QString::fromStdString(page_.treemap().nameOf(tile));
    part.description = QString::fromStdString(UtilityFunction::convertVolSpace(tile.size));
    return part;
}

void TreemapView::pressPart(int index) {
    if (index < 0 || index >= paintedPartCount()) return;
    QPointF centre = shownRect(items()[static_cast<std::size_t>(index)]->rect).center();
    focused_ = 0;
    page_.treemapClicked({centre.x(), centre.y(), 0.0f, 0.0f});
    update();
}

void TreemapView::keyPressEvent(QKeyEvent* event) {
    int count = paintedPartCount();
    int step = event->key() == Qt::Key_Right || event->key() == Qt::Key_Down ? 1
               : event->key() == Qt::Key_Left || event->key() == Qt::Key_Up  ? -1
                                                                             : 0;
    if (step && count) {
        focused_ = (focusedPart() + step + count) % count;
        update();
        announceFocus(this, focused_);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pressPart(focusedPart());
    } else {
        QWidget::keyPressEvent(event);
    }
}

void TreemapView::mouseMoveEvent(QMouseEvent* event) {
    int before = page_.hoveredTile();
    page_.treemapMoved(pointerEvent(*event));
    if (page_.hoveredTile() != before) update();
}

void TreemapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) page_.treemapClicked(pointerEvent(*event));
    update();
}

void TreemapView::leaveEvent(QEvent* event) {
    page_.treemapMoved({-1.0, -1.0, 0.0f, 0.0f});
    update();
    QWidget::leaveEvent(event);
}

}  // namespace quillby
