// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "diskusage/RingLayout.h"
#include "ui/PaintedParts.h"

namespace quillby {

class RingPageModel;

// The ring chart: paints the sectors of the chart's frame (PieTree::drawScene) with QPainter,
// anti-aliased, outline then fill, on a transparent background, sized to the widget, with the
// names that fit (RingLabels), and
// forwards pointer moves and clicks (with their screen positions) to the ring page's logic.
// From the keyboard the arrow keys move a focus from sector to sector and Enter opens the
// focused one as a click would; assistive technology reads every sector and is told the
// focused one in the chart's description.
class RingChartView : public QWidget, public PaintedParts {
    Q_OBJECT
  public:
    explicit RingChartView(RingPageModel& page, QWidget* parent = nullptr);

    // Paints one frame of the chart at `size` onto `painter` (also used by benchmarks).
    static void paintFrame(QPainter& painter, const std::vector<RingSector>& frame,
                           const QSize& size);
    // Paints the names over a frame: the shown folder's name and total in the centre disc, and
    // the names of the sectors wide enough to hold them (shortened, or left out).
    static void paintLabels(QPainter& painter, const std::vector<RingSector>& frame,
                            const QSize& size, const QFont& font);

    // The colour of a name over `fill`: dark on light fills, light on dark ones.
    static QColor textOn(const RingColour& fill);

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
    void focusInEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The bubble belongs to the pointer: it goes when the pointer leaves the chart.
    void leaveEvent(QEvent* event) override;

  private:
    const std::vector<RingSector>& frame() const;
    void moveFocus(int step);

    RingPageModel& page_;
    int focused_ = 0;  // index into the frame; kept in range when the frame changes
};

}  // namespace quillby
