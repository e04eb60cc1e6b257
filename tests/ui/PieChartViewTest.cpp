// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QImage>

#include "memory/ui/PieChartView.h"
#include "support/UiPictures.h"

using namespace quillby;

namespace {

const QColor kFree(0, 247, 44), kActive(254, 249, 53), kInactive(16, 63, 251), kWired(255, 42, 26);

PieChartView* chart(std::vector<double> values) {
    auto* view = new PieChartView;
    view->resize(300, 250);
    std::vector<PieChartItem> items;
    QColor colours[] = {kFree, kActive, kInactive, kWired};
    for (size_t i = 0; i < values.size(); ++i) items.push_back({QString(), colours[i], values[i]});
    view->setItems(items);
    return view;
}

}  // namespace

TEST(PieChartView, GeometryFollowsTheViewWidth) {
    EXPECT_EQ(PieChartView::centreFor({300, 250}), QPointF(150, 120));
    EXPECT_DOUBLE_EQ(PieChartView::radiusFor({300, 250}), 115);
    EXPECT_DOUBLE_EQ(PieChartView::radiusFor({8, 8}), 0);
}

TEST(PieChartView, SlicesSweepTheirShareOfTheCircle) {
    std::unique_ptr<PieChartView> view(chart({1, 1, 2, 0}));
    auto angles = view->sliceAngles();
    ASSERT_EQ(angles.size(), 5u);
    EXPECT_NEAR(angles[1], M_PI / 2, 1e-6);
    EXPECT_NEAR(angles[2], M_PI, 1e-6);
    EXPECT_NEAR(angles[4], 2 * M_PI, 1e-6);
    std::unique_ptr<PieChartView> empty(chart({0, 0, 0, 0}));
    EXPECT_EQ(empty->sliceAngles().back(), 0);
}

TEST(PieChartView, FrontHalfShowsTheFirstSlicesAndTheirWall) {
    // Free memory is the first quarter: it starts at angle 0 and sweeps clockwise, so it lies
    // right of and below the centre; wired, the last slice, lies right of and above it.
    std::unique_ptr<PieChartView> view(chart({25, 25, 25, 25}));
    QImage picture = view->grab().toImage();
    QPointF centre = PieChartView::centreFor(view->size());
    qreal r = PieChartView::radiusFor(view->size()) * PieChartView::kVerticalScale;
    QPoint belowRight(static_cast<int>(centre.x() + 40), static_cast<int>(centre.y() + r * 0.4));
    QPoint aboveRight(static_cast<int>(centre.x() + 40), static_cast<int>(centre.y() - r * 0.4));
    EXPECT_GT(shareOfColour(picture, QRect(belowRight, QSize(3, 3)), kFree), 0.5);
    EXPECT_GT(shareOfColour(picture, QRect(aboveRight, QSize(3, 3)), kWired), 0.5);
    // The wall below the front edge is a darkened free-memory green.
    QPoint wall(static_cast<int>(centre.x() + 40), static_cast<int>(centre.y() + r + 6));
    QColor side = picture.pixelColor(wall);
    EXPECT_GT(side.green(), side.red() + 40);
    EXPECT_LT(side.green(), 200);
    saveUiPicture(picture, "memory-pie");
}
