// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "clean/CleanFixture.h"
#include "clean/SystemCleanModel.h"
#include "clean/ui/CleanBottomBar.h"
#include "clean/ui/CleanCategoryPage.h"
#include "clean/ui/CleanFeatureRow.h"
#include "clean/ui/CleanItemNameDelegate.h"
#include "clean/ui/CleanItemsTableModel.h"
#include "clean/ui/CleanReportPage.h"
#include "clean/ui/SystemCleanView.h"
#include "core/events/ParseFileLog.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/UtilityFunction.h"
#include "shell/FastCleanPage.h"
#include "shell/PreferencesPane.h"
#include "shell/PrefsWindowController.h"
#include "shell/WindowPageHost.h"
#include "support/AccessibleTree.h"
#include "support/ScriptedAsker.h"
#include "support/UiPictures.h"
#include "ui/ImageProvider.h"
#include "ui/QtMainQueue.h"
#include "ui/RichStatusLine.h"
#include "ui/WindowStyle.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

QString sizeText(std::uint64_t bytes) {
    return QString::fromStdString(UtilityFunction::convertVolSpace(bytes));
}

// Every visible button, check box and table of `root` that has no accessible name.
QStringList unnamed(QWidget* root) {
    QStringList names;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QTableView*>(widget);
        if (control && widget->isVisibleTo(root) && widget->accessibleName().isEmpty()) {
            names << widget->metaObject()->className();
        }
    }
    return names;
}

}  // namespace

// Under its name a file shows its path; a package tool's item, whose path is only its tool's key,
// says what it is, to the eye and to a screen reader, and has no folder to show.
TEST(SystemCleanPageUi, APackageToolItemSaysWhatItIsWhereAFileShowsItsPath) {
    CleanFileInfo file("text-x-generic", "syslog.1", "/var/log/syslog.1", "10 bytes", 10);
    CleanFileInfo runtime("application-x-addon", "org.gnome.Platform 44 (system)",
                          "flatpak:system:runtime/org.gnome.Platform/x86_64/44", "1.00 GB",
                          1000000000);
    runtime.toolIndex = 0;
    runtime.description = "Flatpak runtime no installed application uses, system installation";
    CleanItemsTableModel items;
    items.setItems({file, runtime});
    struct Row {
        QString line;
        QString reveal;
    };
    std::vector<Row> expected{{"/var/log/syslog.1", "Show in its folder"},
                              {QString::fromStdString(runtime.description), ""}};
    for (int row = 0; row < 2; ++row) {
        QModelIndex name = items.index(row, CleanItemsTableModel::NameColumn);
        EXPECT_EQ(name.data(CleanItemNameDelegate::PathRole).toString(), expected[row].line);
        EXPECT_EQ(name.data(Qt::ToolTipRole).toString(), expected[row].line);
        EXPECT_EQ(name.data(Qt::AccessibleTextRole).toString(),
                  name.data().toString() + ", " + expected[row].line);
        EXPECT_EQ(items.index(row, CleanItemsTableModel::RevealColumn)
                      .data(Qt::AccessibleTextRole)
                      .toString(),
                  expected[row].reveal);
    }
}

// Scan and stop, scan, untick one item, clean: the rows, the summary, the status line, the
// preferences' switches and the results page say what happened, in exact bytes; the picture of
// the partial selection goes to the README.
TEST(SystemCleanPageUi, ScanUntickOneItemAndCleanTellTheTruth) {
    WindowStyle::apply(*qApp);
    ImageProvider::shared().setUseThemeIcons(false);
    CleanFixture machine;
    for (int id = 0; id < 6; ++id) PreferenceViewController::setCategoryClicked(id, 0);
    PreferenceViewController::setCategoryClicked(1, 1);
    PreferenceViewController::setCategoryClicked(3, 1);
    QtMainQueue queue;
    auto asker = std::make_shared<ScriptedAsker>();
    PrefsWindowController window;
    window.setCrossFade(false);
    auto* page = new FastCleanPage;
    page->addFeature(0, "My Computer", new QLabel("overview"));
    WindowPageHost host(window, *page, {.queue = &queue, .asker = asker});
    PreferencesPane preferences([](bool) { return true; });
    auto* view = new SystemCleanView(
        host.needs(), [&](int id) { return machine.folders().cleanFolders(id); }, page);
    host.addPage(page, "Scan");
    view->registerWith(host);
    window.showWindow();
    CleanBottomBar* bar = view->bar();
    EXPECT_FALSE(bar->cleanButton()->isEnabled());
    EXPECT_EQ(view->row(1)->sizeLabel()->text(), "not scanned");

    // Stop takes one press and says when the scan has stopped.
    QTest::mouseClick(bar->scanButton(), Qt::LeftButton);
    QTest::mouseClick(bar->stopButton(), Qt::LeftButton);
    EXPECT_FALSE(bar->stopButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->model().isScanning(); }, 20000));
    EXPECT_EQ(bar->statusLine()->accessibleDescription(), "Scan stopped.");

    QTest::mouseClick(bar->scanButton(), Qt::LeftButton);
    EXPECT_TRUE(bar->stopButton()->isEnabled());
    EXPECT_EQ(bar->statusLine()->accessibleDescription(), "Scanning...");
    EXPECT_FALSE(view->row(1)->checkBox()->isEnabled());  // no click races the scan
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->model().isScanning(); }, 20000));
    EXPECT_FALSE(bar->stopButton()->isEnabled());
    EXPECT_TRUE(view->row(1)->checkBox()->isEnabled());
    EXPECT_EQ(bar->summary()->text(), "6 of 18 selected, " + sizeText(302) + " will free up.");
    EXPECT_EQ(view->row(1)->sizeLabel()->text(), sizeText(102));
    EXPECT_EQ(view->overviewSize()->text(), sizeText(1100 + 102 + 150 + 200 + 4100 + 3000));

    // The user caches' row shows its review list (its rows' paths are the first test's);
    // ".hidden" is unticked there.
    ASSERT_TRUE(page->selectRow(2));
    CleanCategoryPage* caches = view->categoryPage(1);
    CleanItemsTableModel* items = caches->items();
    auto names = [&] {
        QStringList shown;
        for (const auto& item : items->items()) shown << QString::fromStdString(item.name);
        return shown;
    };
    int hidden = names().indexOf(".hidden");
    ASSERT_GE(hidden, 0);
    caches->table()->model()->setData(items->index(hidden, CleanItemsTableModel::CheckColumn),
                                      Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(bar->summary()->text(), "5 of 18 selected, " + sizeText(300) + " will free up.");
    EXPECT_EQ(view->row(1)->checkBox()->checkState(), Qt::PartiallyChecked);
    // The preferences show what the page stored, and what they store reaches the page.
    EXPECT_EQ(preferences.categorySwitch(1)->checkState(), Qt::PartiallyChecked);
    preferences.categorySwitch(3)->click();
    EXPECT_EQ(view->row(3)->checkBox()->checkState(), Qt::Unchecked);
    EXPECT_EQ(bar->summary()->text(), "1 of 18 selected, " + sizeText(100) + " will free up.");
    preferences.categorySwitch(3)->click();
    EXPECT_EQ(view->row(3)->checkBox()->checkState(), Qt::Checked);
    EXPECT_FALSE(caches->selectAll()->isChecked());
    EXPECT_EQ(unnamed(page).join(", ").toStdString(), "");
    QTest::qWait(50);
    saveUiPicture(*page, "main-window-system-clean");

    // A screen reader reads the selection line's text and each category's check box, partly
    // checked too; Space on a category's row clicks its box.
    QAccessibleInterface* selection =
        accessibleDescendant(page, QAccessible::StaticText, "Selection");
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(selection->text(QAccessible::Description), bar->summary()->text());
    QAccessibleInterface* userCaches =
        accessibleDescendant(page, QAccessible::ListItem, "User Caches");
    QAccessibleInterface* userLogs = accessibleDescendant(page, QAccessible::ListItem, "User Logs");
    ASSERT_TRUE(userCaches && userLogs);
    EXPECT_TRUE(userCaches->state().checkable && userCaches->state().checkStateMixed);
    EXPECT_FALSE(userCaches->state().checked);
    EXPECT_TRUE(userLogs->state().checked);
    ASSERT_TRUE(page->selectRow(4));
    QTest::keyClick(page->findChild<QListWidget*>(), Qt::Key_Space);
    EXPECT_EQ(view->row(3)->checkBox()->checkState(), Qt::Unchecked);
    EXPECT_FALSE(userLogs->state().checked);
    QTest::keyClick(page->findChild<QListWidget*>(), Qt::Key_Space);
    EXPECT_EQ(view->row(3)->checkBox()->checkState(), Qt::Checked);

    // The header sorts by size, smallest first, then largest first.
    emit caches->table()->horizontalHeader()->sectionClicked(CleanItemsTableModel::SizeColumn);
    EXPECT_EQ(names(), (QStringList{".hidden", "fontconfig"}));
    emit caches->table()->horizontalHeader()->sectionClicked(CleanItemsTableModel::SizeColumn);
    EXPECT_EQ(names(), (QStringList{"fontconfig", ".hidden"}));

    // Cleaning from the overview row cleans what is checked, everywhere.
    ASSERT_TRUE(page->selectRow(0));
    QTest::mouseClick(bar->cleanButton(), Qt::LeftButton);
    // While the clean runs the feature shows its progress page, also when chosen again.
    EXPECT_EQ(window.currentIdentifier(), "QC_FastClean");
    window.toggleActivePreferenceView("Scan");
    EXPECT_EQ(window.currentIdentifier(), "QC_FastClean");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model().isCleanFinshed(); }, 20000));
    // One question named what goes for good; nothing in Downloads was checked.
    ASSERT_EQ(asker->questions.size(), 1u);
    EXPECT_EQ(asker->questions[0], "Clean 2 categories (" + sizeText(300).toStdString() +
                                       ")? What they hold is deleted for good.");
    EXPECT_FALSE(fs::exists(machine / "home/.cache/fontconfig"));
    EXPECT_TRUE(fs::exists(machine / "home/.cache/.hidden"));
    EXPECT_FALSE(fs::exists(machine / "home/.local/state/app/x.log"));
    QString cleaned = sizeText(300) + " is cleaned";
    EXPECT_EQ(bar->statusLine()->accessibleDescription(), cleaned);
    EXPECT_EQ(window.currentIdentifier(), "DATA_FastClean");
    EXPECT_EQ(view->resultsPage()->heading()->text(), cleaned);
    EXPECT_EQ(view->resultsPage()->categoryLine(1)->text(),
              "User Caches: " + sizeText(100) + " cleaned");
    QAccessibleInterface* heading =
        accessibleDescendant(view->resultsPage(), QAccessible::StaticText, "Clean status");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(QAccessible::Description), cleaned);
    // The rows show what is left: the logs are gone, the rest is still listed.
    EXPECT_EQ(view->row(3)->sizeLabel()->text(), sizeText(0));
    EXPECT_EQ(view->row(1)->sizeLabel()->text(), sizeText(2));
    EXPECT_EQ(view->overviewSize()->text(), sizeText(1100 + 2 + 150 + 4100 + 3000));
    EXPECT_EQ(bar->summary()->text(), "0 of 13 selected, " + sizeText(0) + " will free up.");
    EXPECT_EQ(ParseFileLog().getSize(), 300u);
    QTest::mouseClick(view->resultsPage()->backButton(), Qt::LeftButton);
    EXPECT_EQ(window.currentIdentifier(), "Scan");
}
