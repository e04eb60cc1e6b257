// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <any>
#include <future>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/text/UtilityFunction.h"
#include "shell/FastCleanPage.h"
#include "support/AccessibleTree.h"
#include "support/TestPlatform.h"
#include "ui/BusySpinner.h"
#include "ui/ImageProvider.h"
#include "ui/QtMainQueue.h"
#include "ui/RichStatusLine.h"
#include "ui/UninstallPageFixture.h"
#include "ui/WindowStyle.h"
#include "ui/WorkRunner.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/UninstallPageModel.h"
#include "uninstall/ui/AppDetailsDialog.h"
#include "uninstall/ui/UninstallAppsTableModel.h"
#include "uninstall/ui/UninstallConfirmDialog.h"

using namespace quillby;

namespace fs = std::filesystem;
using ::testing::Contains;

namespace {

// The page as row 8 of the "Scan" page's feature list, next to an overview in row 0.
class UninstallAppsPageTest : public ::testing::Test {
  protected:
    UninstallAppsPageTest() {
        ImageProvider::shared().setUseThemeIcons(false);
        page = fixture.makePage(queue);
        scan.addFeature(0, "My Computer", new QWidget);
        scan.addFeature(UninstallPageModel::featureRow, "Uninstall Applications", page);
        scan.resize(904, 559);
    }

    UninstallAppsController& controller() const { return page->controller(); }
    // Posts "shouldSelectRow" as the tray's commands do.
    static void selectFeatureRow(int row) {
        EventBus::defaultCenter().post(Events::shouldSelectRow,
                                       std::vector<std::any>{std::string("s"), std::int32_t{row}});
    }
    void discover() {
        selectFeatureRow(UninstallPageModel::featureRow);
        ASSERT_TRUE(QTest::qWaitFor([&] { return controller().searchFinished.get(); }, 10000));
    }
    bool quiet() const {
        return !controller().searching.get() && !controller().removingNow.get() &&
               !page->work().isBusy();
    }
    void waitUntilQuiet() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return quiet(); }, 10000))
            << controller().searching.get() << controller().removingNow.get()
            << page->work().isBusy();
    }
    QStringList names() const {
        QStringList shown;
        for (const auto& app : page->tableModel()->items())
            shown << QString::fromStdString(app.name);
        return shown;
    }
    int rowOf(const QString& name) const { return names().indexOf(name); }
    QModelIndex cell(const QString& name, int column) const {
        return page->tableModel()->index(rowOf(name), column);
    }
    bool isMarked(const QString& name) const {
        QModelIndex box = cell(name, UninstallPageModel::CheckColumn);
        return box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    // Clicks a row's check box as the table's delegate does, and lets the page apply it.
    void mark(const QString& name) {
        page->tableModel()->setData(cell(name, UninstallPageModel::CheckColumn),
                                    isMarked(name) ? Qt::Unchecked : Qt::Checked,
                                    Qt::CheckStateRole);
        QCoreApplication::processEvents();
    }
    QString secondaryText(const QString& name) const {
        return cell(name, UninstallPageModel::NameColumn)
            .data(UninstallAppsTableModel::SecondaryTextRole)
            .toString();
    }
    QString status() const { return page->statusLine()->accessibleDescription(); }

    TestPlatform platform;  // the feature list remembers its row in the settings
    UninstallPageFixture fixture;
    QtMainQueue queue;
    FastCleanPage scan;
    UninstallAppsPage* page = nullptr;
};

}  // namespace

TEST_F(UninstallAppsPageTest, DiscoversOnceWhenItsRowBecomesCurrentAndGroupsWaitForIt) {
    EXPECT_FALSE(fixture.searchStarted);
    // A group click before discovery changes nothing.
    page->groups()->setCurrentRow(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(controller().nowSelectRow, 0);
    EXPECT_EQ(page->groups()->currentRow(), 0);

    selectFeatureRow(UninstallPageModel::featureRow);
    EXPECT_TRUE(controller().searching.get());
    EXPECT_TRUE(page->spinner()->isRunning());
    QRect middle = page->spinner()->geometry();
    EXPECT_NEAR(middle.center().y(), page->height() / 2, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller().searchFinished.get(); }, 10000));
    EXPECT_FALSE(page->spinner()->isRunning());
    EXPECT_EQ(names().size(), 5);
    EXPECT_EQ(secondaryText("Vim"), "9.0.1378");
    EXPECT_EQ(cell("Vim", UninstallPageModel::SystemColumn).data().toString(), "YES");
    EXPECT_FALSE(page->statusLine()->isVisibleTo(page));  // hidden until the first count

    // Leaving and coming back does not search again; "Refresh" does, and finds new ones.
    selectFeatureRow(0);
    selectFeatureRow(UninstallPageModel::featureRow);
    EXPECT_FALSE(controller().searching.get());
    fixture.machine.writeEntry(fixture.machine.userApplications() / "org.example.Chat.desktop",
                               "Chat");
    page->refreshButton()->click();
    EXPECT_TRUE(controller().searching.get());
    waitUntilQuiet();
    EXPECT_TRUE(names().contains("Chat"));

    // The group list shows the system applications only.
    page->groups()->setCurrentRow(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(controller().nowSelectRow, 1);

    // Sorting by the name's header, within the group.
    page->table()->horizontalHeader()->setSortIndicator(UninstallPageModel::NameColumn,
                                                        Qt::AscendingOrder);
    EXPECT_EQ(names(), (QStringList{"GIMP", "Vim"}));
}

TEST_F(UninstallAppsPageTest, MarksShowTheCountAndTheRowsKeepTheirHeights) {
    discover();
    page->show();
    mark("Notes");
    ASSERT_TRUE(isMarked("Notes"));
    EXPECT_TRUE(page->statusLine()->isVisibleTo(page));
    EXPECT_TRUE(status().startsWith("1 of 5"));
    EXPECT_TRUE(page->uninstallButton()->isEnabled());
    page->selectAll()->click();
    EXPECT_TRUE(status().startsWith("5 of 5"));
    page->selectAll()->click();
    EXPECT_FALSE(page->uninstallButton()->isEnabled());

    page->table()->setCurrentIndex(page->tableModel()->index(2, UninstallPageModel::NameColumn));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller().selectRow, 2);
    EXPECT_EQ(page->table()->rowHeight(2) - page->table()->rowHeight(1), 2);
}

// At the window's default size a typical name is drawn whole, highlighted (bold) too: the
// identifier column gives way first and elides in the middle.
TEST_F(UninstallAppsPageTest, NamesAreNotCutAtTheWindowsDefaultSize) {
    const QString calc = QStringLiteral("LibreOffice Calc 7.4.7");
    fixture.machine.writeEntry(
        fixture.machine.systemApplications() / "org.libreoffice.LibreOffice.calc.desktop",
        calc.toStdString());
    WindowStyle::apply(*qApp);  // the window's style, as the program shows it
    scan.show();
    discover();
    QCoreApplication::processEvents();
    QTableView* table = page->table();
    QStyleOptionViewItem option;
    option.initFrom(table);
    QModelIndex name = cell(calc, UninstallPageModel::NameColumn);
    int needed = table->itemDelegateForColumn(UninstallPageModel::NameColumn)
                     ->sizeHint(option, name)
                     .width();
    EXPECT_GE(table->columnWidth(UninstallPageModel::NameColumn), needed);
    EXPECT_FALSE(table->horizontalScrollBar()->isVisible());
    EXPECT_EQ(table->textElideMode(), Qt::ElideMiddle);
}

TEST_F(UninstallAppsPageTest, TheConfirmationListsThePlanAndTheRemovalLeavesThePageLive) {
    discover();
    std::promise<void> started, release;
    std::shared_future<void> released = release.get_future().share();
    fixture.machine.packageKit->whileRemoving = [&] {
        started.set_value();
        released.wait();
    };
    mark("Vim");
    mark("Notes");
    page->uninstallButton()->click();
    // The plan is measured on the worker; the removal starts when the page confirms.
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller().removingNow.get(); }, 10000));
    ASSERT_EQ(fixture.sheets.size(), 1u);
    std::vector<std::string> lines;
    for (const auto& app : fixture.sheets[0].apps) {
        for (const auto& step : app.steps) lines.push_back(step.line());
    }
    std::string settings = fixture.notesSettings.parent_path().string();
    EXPECT_THAT(lines, Contains("move " + settings + " (1.50 KB) to the trash"));
    EXPECT_THAT(lines, Contains("remove package vim and the files it installed"));

    // While the stand-in package manager holds the removal, the page answers: queued work
    // runs, the progress shows, and marks and group changes wait.
    started.get_future().wait();
    bool ranMeanwhile = false;
    QMetaObject::invokeMethod(
        page, [&] { ranMeanwhile = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ranMeanwhile; }, 2000));
    QTest::qWait(150);
    EXPECT_TRUE(page->progress()->isVisibleTo(page));
    EXPECT_TRUE(status().startsWith("Removing Vim (1 of 2)"));
    EXPECT_FALSE(page->uninstallButton()->isEnabled());
    EXPECT_FALSE(page->refreshButton()->isEnabled());
    mark("Paint");
    page->groups()->setCurrentRow(2);
    QCoreApplication::processEvents();
    EXPECT_FALSE(isMarked("Paint"));
    EXPECT_EQ(controller().nowSelectRow, 0);
    EXPECT_TRUE(controller().removingNow.get());

    // Stop: the application in hand is finished, the next one is not begun and stays marked.
    ASSERT_TRUE(page->stopButton()->isVisibleTo(page));
    page->stopButton()->click();
    EXPECT_FALSE(page->stopButton()->isEnabled());
    release.set_value();
    waitUntilQuiet();
    EXPECT_FALSE(page->progress()->isVisibleTo(page));
    EXPECT_FALSE(page->stopButton()->isVisibleTo(page));
    EXPECT_EQ(fixture.machine.packageKit->removed.size(), 1u);
    EXPECT_TRUE(isMarked("Notes"));
    EXPECT_EQ(secondaryText("Notes"), "Not removed: the removal was stopped before it");
    EXPECT_TRUE(fs::exists(fixture.notes));
    EXPECT_TRUE(status().contains("Stopped before 1 application.")) << status().toStdString();

    // Asked again, the rest goes.
    fixture.machine.packageKit->whileRemoving = nullptr;
    page->uninstallButton()->click();
    waitUntilQuiet();
    EXPECT_FALSE(names().contains("Notes"));
    EXPECT_FALSE(fs::exists(fixture.notes));
    EXPECT_FALSE(fs::exists(fixture.notesSettings));  // in the trash
    EXPECT_TRUE(
        fs::exists(fixture.machine.context().xdgDataHome / "Trash/files" / "org.example.Notes"));
    EXPECT_EQ(status().toStdString(), "Selected application(s) were uninstalled successfully.");
}

TEST_F(UninstallAppsPageTest, RefusedRightsRemoveNothingAndARefusedRemovalStaysWithItsReason) {
    fixture.machine.packageKit->running = false;  // Vim's package needs the helper
    discover();
    mark("Vim");
    page->uninstallButton()->click();
    waitUntilQuiet();
    EXPECT_EQ(fixture.launcher->launches, 1);  // asked once, refused
    EXPECT_TRUE(fixture.machine.packageKit->removed.empty());

    // Cancelled: nothing is asked or removed.
    fixture.confirmAnswer = false;
    page->uninstallButton()->click();
    waitUntilQuiet();
    EXPECT_EQ(fixture.launcher->launches, 1);
    EXPECT_EQ(fixture.sheets.size(), 2u);

    // The package manager refuses: the record stays, marked, with its reason.
    fixture.confirmAnswer = true;
    fixture.machine.packageKit->running = true;
    fixture.machine.packageKit->succeed = false;
    page->uninstallButton()->click();
    waitUntilQuiet();
    ASSERT_TRUE(names().contains("Vim"));
    EXPECT_TRUE(isMarked("Vim"));
    EXPECT_TRUE(secondaryText("Vim").startsWith("Not removed: "));
    // The line says it in full, with the reason, and so does the report every removal ends with.
    EXPECT_TRUE(status().contains(QRegularExpression("Not removed: Vim \\(.*refused.*\\)\\.")))
        << status().toStdString();
    ASSERT_FALSE(fixture.asker->messages.empty());
    EXPECT_EQ(fixture.asker->messages.back(),
              "Nothing was removed. 1 application could not be removed.");
    EXPECT_THAT(fixture.asker->messageDetails.back(), ::testing::StartsWith("Vim: package vim: "));
    EXPECT_TRUE(fs::exists(fixture.vim));
}

TEST_F(UninstallAppsPageTest, TheDetailsSheetIsMeasuredOffTheGuiThreadAndTheLockAsksForRights) {
    discover();
    QToolButton* view = page->detailsButton(rowOf("Notes"));
    ASSERT_TRUE(view);
    // Pressed as a screen reader does: the button is the child of its row's cell.
    QAccessibleInterface* details =
        accessibleDescendant(page->table(), QAccessible::Button, "Details of Notes");
    ASSERT_TRUE(details && details->actionInterface());
    details->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    page->work().waitUntilIdle();
    QCoreApplication::processEvents();
    auto* sheet = page->findChild<AppDetailsDialog*>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->nameLabel()->text(), "Notes");
    EXPECT_TRUE(sheet->createdLabel()->text().startsWith("Created: "));
    EXPECT_EQ(sheet->pathLabel()->toolTip().toStdString(), fixture.notes.string());
    // What removing it frees: settings, cache and entry, not the entry's few bytes.
    EXPECT_EQ(sheet->sizeLabel()->text().toStdString(),
              UtilityFunction::convertVolSpace(1800 + fs::file_size(fixture.notes)));
    sheet->accept();

    // The lock asks for rights on the page's worker (a refusal is UninstallPageModel's case).
    fixture.launcher->refuse = false;
    page->lockButton()->click();
    waitUntilQuiet();
    EXPECT_EQ(fixture.launcher->launches, 1);
    EXPECT_TRUE(controller().lockOn.get());
    EXPECT_FALSE(page->lockButton()->isEnabled());
}

TEST(UninstallConfirmDialog, ShowsTheQuestionAndEveryStepWithItsSizeAndPlace) {
    UninstallPlanSheet sheet;
    sheet.confirmation = {"Uninstall Applications", "Uninstall", "Cancel",
                          "Uninstall the selected application(s)?"};
    sheet.apps = {{"Notes",
                   "org.example.Notes",
                   false,
                   {{"/home/u/.config/org.example.Notes", "1.50 KB", 1500, true},
                    {"/home/u/.cache/org.example.Notes", "0.30 KB", 300, false}}},
                  {"Vim", "vim", false, {{"package vim and the files it installed", "", 0, false}}},
                  {"Quillby Pro", "com.quillby.pro", true, {}}};
    sheet.bytesToTrash = 1500;
    sheet.bytesDeleted = 300;
    UninstallConfirmDialog dialog(sheet);
    QTreeWidget* plan = dialog.planList();
    ASSERT_EQ(plan->topLevelItemCount(), 3);
    QTreeWidgetItem* notes = plan->topLevelItem(0);
    EXPECT_EQ(notes->text(0), "Notes (org.example.Notes)");
    ASSERT_EQ(notes->childCount(), 2);
    EXPECT_EQ(notes->child(0)->text(1), "1.50 KB");
    EXPECT_EQ(notes->child(0)->text(2), "to the trash");
    EXPECT_EQ(notes->child(1)->text(2), "deleted");
    EXPECT_EQ(plan->topLevelItem(1)->child(0)->text(0), "package vim and the files it installed");
    EXPECT_EQ(plan->topLevelItem(2)->childCount(), 1);  // says it stays
    QStringList buttons;
    for (auto* button : dialog.findChildren<QPushButton*>()) buttons << button->text();
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Cancel", "Uninstall"}));
    QStringList texts;
    for (auto* label : dialog.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("Uninstall the selected application(s)?"));
    EXPECT_TRUE(texts.contains("Deleted: 0.30 KB. To the trash (can be put back): 1.50 KB."));
}
