// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <vector>

#include "diskusage/TreemapLayout.h"
#include "ui/PaintedParts.h"

namespace quillby {

class RingPageModel;

// The treemap beside the ring page's list: paints the current folder's tiles
// (RingPageModel::layOutTreemap) with QPainter, the names of the folder's own items where they
// fit, the selected items outlined and the tile under the pointer framed, and forwards pointer
// moves and clicks to the page's logic. From the keyboard the arrow keys move a focus among the
// folder's own items and Enter opens a focused folder; assistive technology reads each item.
class TreemapView : public QWidget, public PaintedParts {
    Q_OBJECT
  public:
    explicit TreemapView(RingPageModel& page, QWidget* parent = nullptr);

    // Paints the tiles of `layout` onto `painter` over a dark background of `size` (also used by
    // benchmarks): fills, names, then the `selected` tiles' outlines and the `hovered` one's.
    static void paintTiles(QPainter& painter, const TreemapLayout& layout,
                           const std::vector<const TreemapTile*>& selected, int hovered,
                           const QSize& size, const QFont& font);

    QSize sizeHint() const override { return {420, 420}; }
    QSize minimumSizeHint() const override { return {200, 200}; }

    QAccessible::Role paintedRole() const override { return QAccessible::Chart; }
    int paintedPartCount() const override;
    Part paintedPart(int index) const override;
    int focusedPart() const override;
    void pressPart(int index) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    // The folder's own items (depth 1) of the last layout.
    std::vector<const TreemapTile*> items() const;

    RingPageModel& page_;
    int focused_ = 0;
};

}  // namespace quillby
