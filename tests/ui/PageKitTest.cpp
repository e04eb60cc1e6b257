// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "support/AccessibleTree.h"
#include "ui/BusySpinner.h"
#include "ui/CutTextLabel.h"
#include "ui/ImageProvider.h"
#include "ui/RichStatusLine.h"
#include "ui/ThreeStateCheckDelegate.h"
#include "ui/WindowModalAsker.h"
#include "ui/WorkRunner.h"

using namespace quillby;

// The program's 0/1/2 and Qt's check states differ in order (Qt has "partly" in the middle);
// the delegate must map them both ways and click none and some to all, all to none.
TEST(ThreeStateCheckDelegate, MapsTheProgramsStatesAndClicksThemOn) {
    for (int selection : {0, 1, 2}) {
        EXPECT_EQ(ThreeStateCheckDelegate::selectionFor(
                      ThreeStateCheckDelegate::checkStateFor(selection)),
                  selection);
    }
    EXPECT_EQ(ThreeStateCheckDelegate::checkStateFor(2), Qt::PartiallyChecked);
    EXPECT_EQ(ThreeStateCheckDelegate::imageFor(2), "option_a.png");

    ImageProvider::shared().setUseThemeIcons(false);
    QStandardItemModel model(3, 1);
    QTableView view;
    view.setModel(&model);
    view.setItemDelegate(new ThreeStateCheckDelegate(&view));
    for (int row = 0; row < 3; ++row) {
        auto* item = new QStandardItem;
        item->setCheckable(true);
        item->setCheckState(ThreeStateCheckDelegate::checkStateFor(row));
        model.setItem(row, item);
    }
    view.resize(200, 200);
    view.show();
    for (int row = 0; row < 3; ++row) {
        QRect cell = view.visualRect(model.index(row, 0));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    }
    EXPECT_EQ(model.item(0)->checkState(), Qt::Checked);    // none -> all
    EXPECT_EQ(model.item(1)->checkState(), Qt::Unchecked);  // all -> none
    EXPECT_EQ(model.item(2)->checkState(), Qt::Checked);    // some -> all
}

TEST(CutTextLabel, ShowsTheCutTextAndGivesTheWholeTextAsTooltipAndDescription) {
    CutTextLabel label(10);
    label.setFullText(QStringLiteral("A rather long application name"));
    EXPECT_EQ(label.text(), "A rather l...");
    EXPECT_EQ(label.toolTip(), "A rather long application name");
    EXPECT_EQ(label.accessibleDescription(), "A rather long application name");
    label.setFullText(QStringLiteral("Short"));
    EXPECT_EQ(label.text(), "Short");
    EXPECT_TRUE(label.toolTip().isEmpty());
}

// A status line is read by its role and what it says, whole when the screen shows it cut; a
// change is told once and an announcement carries the text. Qt hands events out only while a
// screen reader listens, so that part runs in a session with one.
TEST(RichStatusLine, IsReadByItsRoleAndWhatItShowsAndTellsChanges) {
    RichStatusLine line;
    line.setAccessibleName("Clean status");
    AccessibleEventRecorder events(&line);
    line.showSelection(3, 5, "1.00 MB will free up.");
    line.showSelection(3, 5, "1.00 MB will free up.");
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&line);
    EXPECT_EQ(read->text(QAccessible::Name), "Clean status");
    EXPECT_EQ(read->text(QAccessible::Description), "3 of 5 selected. 1.00 MB will free up.");
    line.showMessage("Not removed: no rights to...", true, "Not removed: no rights to /opt/app");
    EXPECT_EQ(read->text(QAccessible::Description), "Not removed: no rights to /opt/app");
    RichStatusLine::announce(line);
    if (!AccessibleEventRecorder::listening()) GTEST_SKIP() << "no screen reader listens";
    EXPECT_EQ(events.count(QAccessible::DescriptionChanged), 2);
    ASSERT_EQ(events.count(QAccessible::ValueChanged), 1);
    EXPECT_EQ(events.recorded().back().text, "Not removed: no rights to /opt/app");
}

TEST(WorkRunner, WorksOffTheGuiThreadAndAppliesOnItWhileThePageShowsItIsBusy) {
    QWidget page;
    auto* start = new QPushButton(&page);
    auto* alreadyOff = new QPushButton(&page);
    alreadyOff->setEnabled(false);
    auto* spinner = new BusySpinner(&page);
    auto* runner = new WorkRunner(&page);
    runner->setSpinner(spinner);
    runner->addControl(start);
    runner->addControl(alreadyOff);

    QThread* gui = QThread::currentThread();
    QThread* workedOn = nullptr;
    QThread* appliedOn = nullptr;
    int result = 0;
    runner->run<int>(
        [&workedOn] {
            workedOn = QThread::currentThread();
            return 42;
        },
        [&](int value) {
            appliedOn = QThread::currentThread();
            result = value;
            EXPECT_FALSE(start->isEnabled());  // still busy while the result is applied
        });
    EXPECT_TRUE(runner->isBusy());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(spinner->isRunning());
    runner->waitUntilIdle();
    EXPECT_EQ(result, 42);
    EXPECT_NE(workedOn, gui);
    EXPECT_EQ(appliedOn, gui);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(alreadyOff->isEnabled());  // a control that was off stays off
    EXPECT_FALSE(spinner->isRunning());
}

TEST(WorkRunner, DropsTheResultOfAPageThatWentAway) {
    bool applied = false;
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    {
        WorkRunner runner;
        runner.run(
            [&] {
                while (!release) QThread::msleep(1);
                finished = true;
            },
            [&] { applied = true; });
    }
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 5000));
    QTest::qWait(20);
    EXPECT_FALSE(applied);
}

// The accept button answers true and Escape the safe answer, false. Long details show their
// first lines, the whole text behind "Show Details...".
TEST(WindowModalAsker, AnswersByTheButtonAndShowsLongDetailsInPart) {
    QWidget page;
    page.show();
    WindowModalAsker asker(&page);
    auto answerWith = [](const QString& button) {
        QTimer::singleShot(0, [button] {
            QMessageBox* box = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* found = qobject_cast<QMessageBox*>(widget); found && found->isVisible())
                    box = found;
            }
            ASSERT_NE(box, nullptr);
            // One box, listed once: a child of the application, not again of its page.
            EXPECT_EQ(accessibleDescendants(qApp, QAccessible::AlertMessage, "Quillby Pro").size(),
                      1u);
            EXPECT_EQ(box->informativeText().count(QLatin1Char('\n')), 12);
            EXPECT_EQ(box->detailedText().count(QLatin1Char('\n')), 19);
            if (button.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* candidate : box->buttons()) {
                if (candidate->text() == button) candidate->click();
            }
        });
    };
    std::string details = "Items:";
    for (int line = 1; line < 20; ++line) details += "\nline " + std::to_string(line);
    answerWith("Remove them");
    EXPECT_TRUE(asker.askWithButtons("Go on?", details, "Remove them", "Keep them"));
    answerWith("Keep them");
    EXPECT_FALSE(asker.askWithButtons("Go on?", details, "Remove them", "Keep them"));
    answerWith({});
    EXPECT_FALSE(asker.askWithButtons("Go on?", details, "Remove them", "Keep them"));
    // A choice of three: the button chosen, or the safe one for Escape.
    std::vector<std::string> three{"Move to Trash", "Delete for Good", "Cancel"};
    answerWith("Delete for Good");
    EXPECT_EQ(asker.choose("Go on?", details, three, 2), 1u);
    answerWith({});
    EXPECT_EQ(asker.choose("Go on?", details, three, 2), 2u);
}
