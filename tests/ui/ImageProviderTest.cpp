// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QPainter>
#include <QSet>

#include "support/UiPictures.h"
#include "ui/ImageProvider.h"

using namespace quillby;

namespace {

// Share of the bar's inner row that carries fill colour (not the grey trough).
double filledShare(const QImage& bar) {
    int y = bar.height() / 2, filled = 0;
    for (int x = 1; x < bar.width() - 1; ++x) {
        QColor c = bar.pixelColor(x, y);
        if (c.alpha() > 128 && c.saturation() > 80) ++filled;
    }
    return static_cast<double>(filled) / (bar.width() - 2);
}

bool isReddish(const QColor& c) {
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}

class ImageProviderTest : public ::testing::Test {
  protected:
    void SetUp() override { ImageProvider::shared().setUseThemeIcons(false); }
    ImageProvider& images = ImageProvider::shared();
};

}  // namespace

TEST_F(ImageProviderTest, StateNamedFormsHaveTheirSizes) {
    EXPECT_EQ(images.image("42%.png").size(), QSize(22, 22));
    EXPECT_EQ(images.image("93%-1.png").size(), QSize(22, 22));
    EXPECT_EQ(images.image("42.png").size(), QSize(200, 25));
    EXPECT_EQ(images.image("100-1.png").size(), QSize(200, 25));
    EXPECT_EQ(images.image("0_index.png").size(), QSize(420, 18));
    EXPECT_EQ(images.image("7_r_index.png").size(), QSize(420, 18));
    EXPECT_EQ(images.image("55_progress_bar.png").size(), QSize(120, 10));
}

TEST_F(ImageProviderTest, NamesOutsideTheFormsGiveNothing) {
    for (const char* name : {"101.png", "101%.png", "-1.png", "42%-2.png", "42_x_index.png",
                             "abc.png", "42", "", "1000_progress_bar.png", "42.PNG"}) {
        EXPECT_TRUE(images.image(name).isNull()) << name;
        EXPECT_FALSE(images.knows(name)) << name;
    }
    EXPECT_TRUE(images.icon("nothing.png").isNull());
}

TEST_F(ImageProviderTest, BarsFillInProportionToTheLevel) {
    EXPECT_NEAR(filledShare(images.image("0.png")), 0.0, 0.02);
    EXPECT_NEAR(filledShare(images.image("25.png")), 0.25, 0.03);
    EXPECT_NEAR(filledShare(images.image("80.png")), 0.80, 0.03);
    EXPECT_NEAR(filledShare(images.image("100.png")), 1.0, 0.03);
    EXPECT_NEAR(filledShare(images.image("50_index.png")), 0.5, 0.03);
    EXPECT_NEAR(filledShare(images.image("30_progress_bar.png")), 0.3, 0.04);
}

TEST_F(ImageProviderTest, AlarmVariantsAreRedAndOthersAreNot) {
    QImage alarm = images.image("60-1.png"), normal = images.image("60.png");
    EXPECT_TRUE(isReddish(alarm.pixelColor(40, 12)));
    EXPECT_FALSE(isReddish(normal.pixelColor(40, 12)));
    EXPECT_TRUE(isReddish(images.image("60_r_index.png").pixelColor(40, 9)));
    EXPECT_FALSE(isReddish(images.image("60_index.png").pixelColor(40, 9)));
    EXPECT_TRUE(isReddish(images.image("90%-1.png").pixelColor(11, 17)));
    EXPECT_FALSE(isReddish(images.image("90%.png").pixelColor(11, 17)));
}

TEST_F(ImageProviderTest, RoleIconsHaveOurOwnDrawingWithoutATheme) {
    for (const char* name :
         {"disk_mac.png", "disk_ico_1.png", "disk_ico_5.png", "freememory.png", "hover.png",
          "search.png", "tc.png", "Lock.png", "right.png", "cpu_brand.png", "Scan", "Help"}) {
        QImage image = images.image(name);
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_TRUE(images.knows(name));
        EXPECT_FALSE(images.icon(name).isNull()) << name;
    }
    // The toolbar's bundled pictures are drawn (a missing resource draws nothing) and differ.
    QSet<QByteArray> seen;
    for (const char* name : {"Scan", "duplicates_file", "disk_usage", "memory", "login_items",
                             "preferences", "Help"}) {
        QImage image = images.image(name);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) opaque += image.pixelColor(x, y).alpha() > 128;
        EXPECT_GT(opaque, image.width() * image.height() / 8) << name;
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                               static_cast<int>(image.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), 7);
}

TEST_F(ImageProviderTest, SheetOfEveryFormRendersForPeopleToSee) {
    QImage sheet(460, 200, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(40, 44, 52));
    QPainter painter(&sheet);
    int x = 4;
    for (const char* name : {"10%.png", "50%.png", "95%.png", "95%-1.png"}) {
        painter.drawImage(x, 4, images.image(name));
        x += 28;
    }
    painter.drawImage(4, 32, images.image("35.png"));
    painter.drawImage(210, 32, images.image("92-1.png"));
    painter.drawImage(4, 62, images.image("70_index.png"));
    painter.drawImage(4, 84, images.image("70_r_index.png"));
    painter.drawImage(4, 106, images.image("45_progress_bar.png"));
    x = 4;
    for (const char* name : {"disk_mac.png", "disk_ico_1.png", "disk_ico_5.png", "disk_ico_3.png",
                             "disk_ico_4.png", "disk_ico_2.png", "freememory.png"}) {
        painter.drawImage(x, 124, images.image(name));
        x += 44;
    }
    painter.end();
    EXPECT_FALSE(saveUiPicture(sheet, "image-provider-sheet").isEmpty());
}
