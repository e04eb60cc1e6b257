// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "monitor/ui/BubbleView.h"
#include "support/UiPictures.h"
#include "ui/AttachedWindow.h"

using namespace quillby;

namespace {

void hover(QWidget* window, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(window, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window, &leave);
    }
}

// The lines of a balloon that do not fit its width.
QStringList cutLines(const QWidget* balloon) {
    QStringList cut;
    for (auto* label : balloon->findChildren<QLabel*>()) {
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width())
            cut << label->text();
    }
    return cut;
}

}  // namespace

TEST(BubbleView, BalloonsStackSixtyPointsLowerShowThirdLinesAndRestartWhenAllClosed) {
    BubbleView bubbles;
    bubbles.setLifetime(60000);
    QPointer<AttachedWindow> first = bubbles.bubbleViewWith({"USB is mounted successfully!"});
    QPointer<AttachedWindow> second =
        bubbles.bubbleViewWith({"Files cleaned: 3", "Space freed: 1.00 MB"});
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->y() - first->y(), BubbleView::kStackStep);
    EXPECT_EQ(bubbles.openCount(), 2);
    EXPECT_EQ(cutLines(first), QStringList());
    EXPECT_EQ(cutLines(second), QStringList());

    int top = first->y();
    first->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bubbles.openCount() == 1; }));
    // Still one open: the streak goes on below the second one. A clean that left items behind
    // says so on a third line, which makes the balloon higher.
    QPointer<AttachedWindow> third = bubbles.bubbleViewWith(
        {"Files cleaned: 3", "Space freed: 1.00 MB", "2 items could not be deleted"});
    EXPECT_EQ(third->y() - top, 2 * BubbleView::kStackStep);
    EXPECT_EQ(third->findChildren<QLabel*>().size(), 3);
    EXPECT_GT(third->height(), second->height());

    second->close();
    third->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bubbles.openCount() == 0; }));
    EXPECT_EQ(bubbles.nextSlot(), 0);
    AttachedWindow* balloon = bubbles.bubbleViewWith({"Files cleaned: 12", "Space freed: 1.20 GB"});
    EXPECT_FALSE(saveUiPicture(*balloon, "balloon-two-lines").isEmpty());
}

TEST(BubbleView, ClosesByItselfButNotWhileHovered) {
    BubbleView bubbles;
    bubbles.setLifetime(150);
    QPointer<AttachedWindow> balloon = bubbles.bubbleViewWith({"Nothing to eject"}, true);
    hover(balloon, true);
    // While the pointer rests on it, its closing is held back rather than merely late.
    auto* closing = balloon->findChild<QTimer*>();
    ASSERT_NE(closing, nullptr);
    EXPECT_FALSE(closing->isActive()) << "would close while the pointer rested on it";
    ASSERT_TRUE(balloon);
    hover(balloon, false);
    EXPECT_TRUE(closing->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloon.isNull(); }));
    EXPECT_EQ(bubbles.openCount(), 0);
}

// The stacking itself is the first test's.
TEST(BubbleView, PlacementStaysOnTheScreen) {
    QRect screen(0, 0, 1920, 1080);
    EXPECT_LE(BubbleView::placement(screen, {284, 54}, 0).x() + 284, screen.right());
    EXPECT_GE(BubbleView::placement(QRect(0, 0, 200, 200), {284, 54}, 0).x(), 0);
}

TEST(BubbleView, TextsAndClickActionsGoToTheNotificationSinkWhereWindowsCannotBePlaced) {
    BubbleView bubbles;
    QStringList sent;
    int clicks = 0;
    BubbleView::ClickAction action;
    bubbles.setNotificationSink([&](const QStringList& lines, BubbleView::ClickAction click) {
        sent = lines;
        action = std::move(click);
    });
    EXPECT_EQ(bubbles.bubbleViewWith({"Disk is unmounted successfully!"}), nullptr);
    EXPECT_EQ(sent, QStringList{"Disk is unmounted successfully!"});
    EXPECT_FALSE(action);
    bubbles.bubbleViewWith({"Quillby Pro 4.1 is available"}, false, [&] { ++clicks; });
    ASSERT_TRUE(action);
    action();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(bubbles.openCount(), 0);
}

TEST(BubbleView, AClickableBalloonRunsItsActionOnceAndCloses) {
    BubbleView bubbles;
    bubbles.setLifetime(60000);
    int clicks = 0;
    QPointer<AttachedWindow> balloon = bubbles.bubbleViewWith(
        {"Quillby Pro 4.10.2-1ubuntu1 is available", "Click to open Discover"}, false,
        [&] { ++clicks; });
    ASSERT_TRUE(balloon);
    EXPECT_EQ(cutLines(balloon), QStringList());  // a long line widens the balloon
    EXPECT_FALSE(saveUiPicture(*balloon, "balloon-update").isEmpty());
    QTest::mouseClick(balloon, Qt::LeftButton);
    QTest::mouseClick(balloon, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloon.isNull(); }));
    // A plain balloon ignores clicks and stays.
    QPointer<AttachedWindow> plain = bubbles.bubbleViewWith({"Nothing to eject"});
    QTest::mouseClick(plain, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(plain && plain->isVisible());
}
