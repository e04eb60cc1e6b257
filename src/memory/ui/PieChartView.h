// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

namespace quillby {

// One slice of the memory pie: a name (unused in drawing), a colour and a value.
struct PieChartItem {
    QString name;
    QColor color;
    double value = 0;
};

// A flat 3D pie: the disc drawn squeezed to 0.4 of its height, slices from angle 0 in the
// direction of increasing angle (clockwise on screen), each filled with its colour and outlined
// in white, with a shaded side wall of 40 units under the front half.
class PieChartView : public QWidget {
    Q_OBJECT
  public:
    static constexpr qreal kVerticalScale = 0.4;
    static constexpr qreal kRimHeight = 40;

    explicit PieChartView(QWidget* parent = nullptr);

    void setItems(std::vector<PieChartItem> items);
    const std::vector<PieChartItem>& items() const { return items_; }

    // The chart's centre and radius in the unsqueezed drawing space for a view of `size`.
    static QPointF centreFor(QSize size);
    static qreal radiusFor(QSize size);
    // The slice start angles in radians (the last entry is the end of the last slice).
    std::vector<qreal> sliceAngles() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<PieChartItem> items_;
};

}  // namespace quillby
