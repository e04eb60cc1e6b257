// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <cmath>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/RingGeometry.h"
#include "diskusage/RingHitTest.h"
#include "diskusage/RingLayout.h"
#include "diskusage/SectorColourRule.h"

using namespace quillby;

namespace {

std::vector<RingSector> layOut(RingFolderNode& root) {
    SectorColourRule colours;
    RingLayout layout(colours, nullptr);
    std::vector<RingSector> sectors;
    layout.layoutSectors(root, 1, 0, false, 360.0, 0.0, sectors);
    return sectors;
}

}  // namespace

TEST(RingGeometry, RadiiOfTheFiveRings) {
    const double expected[6][2] = {{0, 0.7},
                                   {0, 0.636364},
                                   {0.636364, 1.214876},
                                   {1.214876, 1.740796},
                                   {1.740796, 2.218906},
                                   {2.218906, 2.653551}};
    for (int depth = 0; depth <= 5; ++depth) {
        EXPECT_NEAR(ringRadii(depth).inner, expected[depth][0], 5e-7) << depth;
        EXPECT_NEAR(ringRadii(depth).outer, expected[depth][1], 5e-7) << depth;
    }
    EXPECT_EQ(sectorSlices(3.0001), 2);
    EXPECT_EQ(sectorSlices(9.5), 3);
    EXPECT_EQ(sectorSlices(360), 120);
}

TEST(RingGeometry, ViewportMapsPixelsToChartUnitsAndAngles) {
    RingViewport wide(600, 400);
    auto area = wide.visibleArea();
    EXPECT_FLOAT_EQ(area.left, -4.5f);
    EXPECT_FLOAT_EQ(area.right, 4.5f);
    EXPECT_FLOAT_EQ(area.bottom, -3.0f);
    EXPECT_FLOAT_EQ(area.top, 3.0f);
    auto tall = RingViewport(400.7, 600.2).visibleArea();  // fractions of pixels are cut off
    EXPECT_FLOAT_EQ(tall.left, -3.0f);
    EXPECT_FLOAT_EQ(tall.top, 4.5f);

    // Up is 0 degrees, then clockwise on screen.
    PolarPoint up = wide.toPolar(300, 0);
    EXPECT_NEAR(up.r, 3.0, 1e-9);
    EXPECT_NEAR(up.t, 0.0, 1e-9);
    EXPECT_NEAR(wide.toPolar(600, 200).t, 90.0, 1e-9);
    EXPECT_NEAR(wide.toPolar(600, 200).r, 4.5, 1e-6);
    EXPECT_NEAR(wide.toPolar(300, 400).t, 180.0, 1e-9);
    EXPECT_NEAR(wide.toPolar(0, 200).t, 270.0, 1e-9);
    EXPECT_NEAR(wide.toPolar(300, 200).r, 0.0, 1e-9);

    double x = 0, y = 0;
    wide.toPixel(0.0, 3.0, x, y);  // drawing: y up
    EXPECT_NEAR(x, 300.0, 1e-9);
    EXPECT_NEAR(y, 0.0, 1e-9);
    EXPECT_NEAR(wide.pixelsPerUnit(), 600.0 / 9.0, 1e-6);
}

TEST(RingLayout, OneSameSizeChildIsAFullRing) {
    auto root = RingFolderNode::makeRoot("/r");
    root->size = 100;
    RingFolderNode* only = addRingChild(*root, "only", 100);
    auto sectors = layOut(*root);
    ASSERT_EQ(sectors.size(), 2u);
    EXPECT_EQ(sectors[0].node, root.get());
    EXPECT_EQ(sectors[0].sweep, 360.0);
    EXPECT_EQ(sectors[0].fill, (RingColour{39, 41, 51}));
    EXPECT_EQ(sectors[1].node, only);
    EXPECT_EQ(sectors[1].startAngle, 0.0);
    EXPECT_EQ(sectors[1].sweep, 360.0);
    EXPECT_NEAR(sectors[1].radii.inner, 0.636364, 5e-7);
    EXPECT_EQ(sectors[1].slices, 120);
    EXPECT_EQ(only->depth, 2);
}

TEST(RingLayout, ThreeDegreesOrLessIsHiddenWithItsSubtree) {
    auto root = RingFolderNode::makeRoot("/r");
    root->size = 120;
    RingFolderNode* thin = addRingChild(*root, "thin", 1);  // exactly 3.0 degrees
    RingFolderNode* below = addRingChild(*thin, "below", 1);
    RingFolderNode* rest = addRingChild(*root, "rest", 119);
    auto sectors = layOut(*root);
    EXPECT_EQ(thin->sweep, 3.0);
    EXPECT_TRUE(thin->hidden);
    EXPECT_EQ(below->depth, 0);  // never reached
    EXPECT_FALSE(rest->hidden);
    EXPECT_EQ(rest->startAngle, 3.0);  // the hidden sector still takes its share
    ASSERT_EQ(sectors.size(), 2u);

    auto other = RingFolderNode::makeRoot("/o");
    other->size = 120000;
    RingFolderNode* hair = addRingChild(*other, "hair", 1001);  // 3.003 degrees
    sectors = layOut(*other);
    ASSERT_EQ(sectors.size(), 2u);
    EXPECT_EQ(sectors[1].node, hair);
    EXPECT_EQ(sectors[1].slices, 2);
    EXPECT_FALSE(hair->hidden);

    // An empty centre gives its children a share that is not a number: hidden.
    auto empty = RingFolderNode::makeRoot("/e");
    RingFolderNode* nothing = addRingChild(*empty, "nothing", 0);
    EXPECT_EQ(layOut(*empty).size(), 1u);
    EXPECT_TRUE(std::isnan(nothing->sweep));
    EXPECT_TRUE(nothing->hidden);
}

TEST(RingLayout, FiveLevelsAreDrawnAndTheSixthIsNeverFound) {
    auto root = RingFolderNode::makeRoot("/r");
    root->size = 10;
    std::vector<RingFolderNode*> chain{root.get()};
    for (int level = 2; level <= 7; ++level) chain.push_back(addRingChild(*chain.back(), "n", 10));
    auto sectors = layOut(*root);
    ASSERT_EQ(sectors.size(), 5u);
    EXPECT_EQ(chain[4]->depth, 5);
    EXPECT_EQ(chain[5]->depth, 0);

    EXPECT_EQ(hitTest(*root, 2.65, 10.0).node, chain[4]);
    RingHit outside = hitTest(*root, 2.6536, 10.0);
    EXPECT_EQ(outside.result, -2);
    EXPECT_EQ(outside.node, nullptr);
    EXPECT_EQ(hitTest(*root, 0.3, 200.0).node, root.get());
}

TEST(RingHitTest, ABoundaryBelongsToTheEarlierSibling) {
    auto root = RingFolderNode::makeRoot("/r");
    root->size = 200;
    RingFolderNode* first = addRingChild(*root, "first", 100);
    RingFolderNode* second = addRingChild(*root, "second", 100);
    layOut(*root);
    EXPECT_EQ(hitTest(*root, 1.0, 180.0).node, first);
    EXPECT_EQ(hitTest(*root, 1.0, 180.0001).node, second);
    EXPECT_EQ(hitTest(*root, 1.0, 360.0).node, second);
    EXPECT_EQ(hitTest(*first, 1.0, 200.0).result, -1);
    // Hidden sectors are still found.
    first->hidden = true;
    EXPECT_EQ(hitTest(*root, 1.0, 90.0).node, first);
}

TEST(SectorColour, DepthTwoPicksThePaletteAndPassesItsShadeDown) {
    SectorColourRule rule;
    RingFolderNode node;
    node.depth = 1;
    EXPECT_EQ(rule.sectorColour(node, false), (RingColour{39, 41, 51}));
    node.depth = 2;
    node.startAngle = 12.9;  // palette 0: (252, 123, 128)
    EXPECT_EQ(rule.sectorColour(node, false), (RingColour{226, 110, 115}));
    EXPECT_EQ(rule.lastShade(), (RingColour{228, 111, 116}));
    RingFolderNode deeper;
    deeper.depth = 4;
    EXPECT_EQ(rule.sectorColour(deeper, false), (RingColour{228, 111, 116}));
    node.startAngle = 13.0;  // palette 1: (251, 255, 122)
    EXPECT_EQ(rule.sectorColour(node, false), (RingColour{225, 229, 109}));
    node.startAngle = 359.99;
    EXPECT_EQ(rule.sectorColour(node, false), (RingColour{59, 114, 117}));
    node.startAngle = 360.0;  // rounding at the end of a turn stays on the last colour
    EXPECT_EQ(rule.sectorColour(node, false), (RingColour{59, 114, 117}));
    EXPECT_EQ(rule.sectorColour(deeper, true), (RingColour{46, 87, 199}));

    // A highlighted sector is outlined in blue, the others in grey.
    EXPECT_EQ(SectorColourRule::outlineColour(true), (RingColour{0, 0, 255}));
    EXPECT_EQ(SectorColourRule::outlineColour(false), (RingColour{85, 85, 85}));
    // Activated 2 seconds ago: green and blue lowered by 40, wrapping below 0.
    EXPECT_EQ(SectorColourRule::fillColour({10, 30, 100}, 1000, 1002), (RingColour{10, 246, 60}));
    EXPECT_EQ(SectorColourRule::fillColour({10, 30, 100}, 0, 1700000000),
              (RingColour{10, 30, 100}));
}
