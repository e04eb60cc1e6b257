// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "diskusage/RingLayout.h"

namespace quillby {

class RingPageModel;

// The ring chart: paints the sectors of the chart's frame (PieTree::drawScene) with QPainter,
// anti-aliased, outline then fill, on a transparent background, sized to the widget, and
// forwards pointer moves and clicks (with their screen positions) to the ring page's logic.
class RingChartView : public QWidget {
    Q_OBJECT
  public:
    explicit RingChartView(RingPageModel& page, QWidget* parent = nullptr);

    // Paints one frame of the chart at `size` onto `painter` (also used by benchmarks).
    static void paintFrame(QPainter& painter, const std::vector<RingSector>& frame,
                           const QSize& size);

    QSize sizeHint() const override { return {420, 420}; }
    QSize minimumSizeHint() const override { return {200, 200}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The bubble belongs to the pointer: it goes when the pointer leaves the chart.
    void leaveEvent(QEvent* event) override;

  private:
    RingPageModel& page_;
};

}  // namespace quillby
