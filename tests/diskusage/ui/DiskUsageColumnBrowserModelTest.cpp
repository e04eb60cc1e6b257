// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageItem.h"
#include "diskusage/FileSystemBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserRowDelegate.h"
#include "support/UiPictures.h"
#include "ui/ImageProvider.h"
#include "ui/WindowStyle.h"

using namespace quillby;

namespace {

int state(const QModelIndex& index) {
    return index.data(Qt::CheckStateRole).toInt();
}

}  // namespace

// A folder of 100,000 items gets its rows a batch at a time, and any of them can be reached.
TEST(DiskUsageColumnBrowserModel, MakesRowsOnlyForOpenedFoldersABatchAtATime) {
    FSNode root("/r", true, nullptr);
    FSNode* big = addNode(root, "big", true, 200000);
    addNode(root, "lone", false, 5);
    FSNode* sub = nullptr;
    for (int i = 0; i < 100000; ++i) {
        if (i == 50000) {
            sub = addNode(*big, "sub", true, 2);
            addNode(*sub, "x", false, 1);
            addNode(*sub, "y", false, 1);
        } else {
            addNode(*big, "f" + std::to_string(i), false, 2);
        }
    }
    DiskUsageColumnBrowserModel model;
    model.setRoot(&root);
    EXPECT_EQ(model.rowCount(), 0);
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    ASSERT_EQ(model.rowCount(), 2);
    QModelIndex bigIndex = model.index(0, 0);
    EXPECT_TRUE(model.hasChildren(bigIndex));
    EXPECT_FALSE(model.hasChildren(model.index(1, 0)));
    EXPECT_EQ(model.rowCount(bigIndex), 0);

    // Opening the checked folder passes its state on to its items.
    FileSystemBrowserModel::clickCheckBox(*big);
    model.fetchMore(bigIndex);
    EXPECT_EQ(model.rowCount(bigIndex), DiskUsageColumnBrowserModel::kFetchBatch);
    EXPECT_EQ(state(model.index(7, 0, bigIndex)), Qt::Checked);

    QModelIndex subIndex = model.indexOf(sub);
    ASSERT_TRUE(subIndex.isValid());
    EXPECT_EQ(subIndex.row(), 50000);
    EXPECT_EQ(subIndex.parent(), bigIndex);
    EXPECT_GT(model.rowCount(bigIndex), 50000);
    EXPECT_LT(model.rowCount(bigIndex), 100000);
    model.fetchMore(subIndex);
    QModelIndex x = model.index(0, 0, subIndex);
    EXPECT_EQ(x.parent(), subIndex);
    EXPECT_EQ(x.data().toString(), "x");
    EXPECT_EQ(state(x), Qt::Checked);
    EXPECT_EQ(model.nodeAt(x)->path(), "/r/big/sub/x");
}

TEST(DiskUsageColumnBrowserModel, ChecksThroughClicksAndAssistiveToggles) {
    FSNode root("/r", true, nullptr);
    FSNode* folder = addNode(root, "folder", true, 3000);
    addNode(*folder, "a", false, 1000);
    addNode(*folder, "b", false, 2000);
    addNode(root, "locked", true)->unreadable = true;
    DiskUsageColumnBrowserModel model;
    model.setRoot(&root);
    model.fetchMore({});
    QModelIndex folderIndex = model.index(0, 0);
    model.fetchMore(folderIndex);
    int changes = 0;
    QObject::connect(&model, &DiskUsageColumnBrowserModel::checksChanged, [&] { ++changes; });

    model.clickCheckBox(model.index(0, 0, folderIndex));
    EXPECT_EQ(state(folderIndex), Qt::PartiallyChecked);
    model.clickCheckBox(folderIndex);  // partly checked becomes checked
    EXPECT_EQ(state(folderIndex), Qt::Checked);
    EXPECT_EQ(changes, 2);

    model.clickCheckBox(model.index(1, 0, folderIndex));
    ASSERT_EQ(state(folderIndex), Qt::PartiallyChecked);
    EXPECT_TRUE(model.setData(folderIndex, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(state(folderIndex), Qt::Unchecked);
    EXPECT_FALSE(model.setData(folderIndex, Qt::PartiallyChecked, Qt::CheckStateRole));
    EXPECT_TRUE(model.setData(folderIndex, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(folder->checkedWhole);

    EXPECT_EQ(folderIndex.data(DiskUsageColumnBrowserModel::SizeTextRole).toString(), "3.00 KB");
    EXPECT_EQ(folderIndex.data(Qt::AccessibleTextRole).toString(), "folder, 3.00 KB, folder");
    // A folder the scan could not read is marked as the command line marks it.
    QModelIndex locked = model.index(1, 0);
    EXPECT_EQ(folderIndex.data().toString(), "folder");
    EXPECT_EQ(locked.data().toString(), "! locked");
    EXPECT_TRUE(locked.data(Qt::ToolTipRole).toString().endsWith(kUnreadableTip));
    EXPECT_EQ(locked.data(Qt::AccessibleTextRole).toString(),
              "locked, 0.00 KB, folder, could not be read");
    EXPECT_TRUE(model.flags(folderIndex) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(model.flags(model.index(0, 0, folderIndex)) & Qt::ItemNeverHasChildren);

    // Compared with an earlier scan of the place, each row also says its change, and the
    // folders can list their items most grown first.
    FSNode earlier("/r", true, nullptr);
    addNode(earlier, "folder", true, 5000);
    ItemTreeChanges sinceEarlier = ItemTreeChanges::between(root, earlier);
    model.setRoot(&root, &sinceEarlier);
    model.fetchMore({});
    EXPECT_EQ(model.index(0, 0).data(DiskUsageColumnBrowserModel::ChangeTextRole), "-2.00 KB");
    EXPECT_EQ(model.index(0, 0).data(Qt::AccessibleTextRole).toString(),
              "folder, 3.00 KB, folder, -2.00 KB since the last scan");
    EXPECT_EQ(model.index(1, 0).data(DiskUsageColumnBrowserModel::ChangeTextRole), "new");
    model.setSortByChange(true);
    model.fetchMore({});
    EXPECT_EQ(model.index(0, 0).data().toString(), "! locked");  // new and empty: 0 > -2000
    QModelIndex shrunk = model.indexOf(folder);
    EXPECT_EQ(shrunk.row(), 1);
    model.fetchMore(shrunk);
    EXPECT_EQ(model.index(0, 0, shrunk).parent(), shrunk);
}

// Rows drawn for the size bands: the size text in its colour, the check box at (3, 12).
TEST(DiskUsageColumnBrowserRowDelegate, DrawsTheSizeInItsColourAndTheCheckBoxInPlace) {
    ImageProvider::shared().setUseThemeIcons(false);
    FSNode root("/r", true, nullptr);
    const std::uint64_t sizes[] = {2000000000000ULL, 999999999999ULL, 1000, 1001};
    const SizeColour colours[] = {SizeColour::Red, SizeColour::Orange, SizeColour::White,
                                  SizeColour::Green};
    for (std::uint64_t size : sizes) addNode(root, "item", false, size);
    FileSystemBrowserModel::clickCheckBox(*root.children[0]);
    DiskUsageColumnBrowserModel model;
    model.setRoot(&root);
    model.fetchMore({});
    DiskUsageColumnBrowserRowDelegate delegate;

    const QSize rowSize(300, 34);
    QImage rows(rowSize.width(), rowSize.height() * 4, QImage::Format_ARGB32_Premultiplied);
    rows.fill(WindowStyle::backdropBottom());
    QPainter painter(&rows);
    for (int row = 0; row < 4; ++row) {
        QStyleOptionViewItem option;
        option.rect = QRect(QPoint(0, row * rowSize.height()), rowSize);
        option.palette = WindowStyle::palette();
        option.state = QStyle::State_Enabled;
        QModelIndex index = model.index(row, 0);
        EXPECT_EQ(delegate.sizeHint(option, index).height(), 34);
        delegate.paint(&painter, option, index);
    }
    painter.end();
    saveUiPicture(rows, "disk-usage-rows");

    for (int row = 0; row < 4; ++row) {
        QRect sizeText(200, row * rowSize.height(), 100, rowSize.height());
        QColor expected = DiskUsageColumnBrowserRowDelegate::colourOf(colours[row]);
        EXPECT_GT(shareOfColour(rows, sizeText, expected, 12), 0.01) << "row " << row;
        for (SizeColour other : colours) {
            if (other == colours[row]) continue;
            EXPECT_EQ(shareOfColour(rows, sizeText,
                                    DiskUsageColumnBrowserRowDelegate::colourOf(other), 12),
                      0)
                << "row " << row;
        }
    }
    QRect box = DiskUsageColumnBrowserRowDelegate::checkBoxRect(QRect(QPoint(0, 0), rowSize));
    EXPECT_EQ(box, QRect(3, 12, 18, 18));
    // The checked box is filled with the accent; the unchecked one below is not.
    EXPECT_GT(shareOfColour(rows, box, WindowStyle::accent(), 30), 0.3);
    EXPECT_LT(shareOfColour(rows, box.translated(0, 34), WindowStyle::accent(), 30), 0.05);
}
