// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "loginitems/ui/LoginItemsPage.h"
#include "monitor/ui/MenuItemView.h"
#include "shell/FastCleanPage.h"
#include "ui/FixtureMainWindow.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/ui/UninstallAppsPage.h"

using namespace quillby;

namespace {

bool isInteractive(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const QTabBar*>(widget);
}

QString accessibleName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// Every visible interactive control below `root` that assistive technology cannot name, as
// "ClassName (objectName)".
QStringList unnamedControls(QWidget* root) {
    QStringList unnamed;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || !isInteractive(widget)) continue;
        if (accessibleName(widget).trimmed().isEmpty()) {
            unnamed << QStringLiteral("%1 (%2) in %3")
                           .arg(widget->metaObject()->className(), widget->objectName(),
                                widget->parentWidget()->metaObject()->className());
        }
    }
    return unnamed;
}

// Every cell of a table reads as text, and a check box cell says whether it is checked.
QStringList silentCells(QAbstractItemView* view) {
    QStringList silent;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface* table = face ? face->tableInterface() : nullptr;
    if (!table) return {QStringLiteral("the table has no table interface")};
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            QAccessibleInterface* cell = table->cellAt(row, column);
            if (!cell || cell->text(QAccessible::Name).isEmpty()) {
                silent << QStringLiteral("cell %1,%2").arg(row).arg(column);
                continue;
            }
            bool checkable = view->model()->index(row, column).data(Qt::CheckStateRole).isValid();
            if (checkable && !cell->state().checkable) {
                silent << QStringLiteral("check box %1,%2").arg(row).arg(column);
            }
        }
    }
    return silent;
}

}  // namespace

TEST(AccessibleNames, EveryControlOfEveryPageAndOfTheTrayPanelIsNamed) {
    FixtureMainWindow fixture;
    PrefsWindowController& window = fixture.window;
    window.showWindow();
    int pages = 0;
    for (const QString& identifier : window.toolbarIdentifiers()) {
        if (identifier == QLatin1String("Help")) continue;
        window.toggleActivePreferenceView(identifier);
        QTest::qWait(10);
        ++pages;
        EXPECT_EQ(unnamedControls(&window).join("; ").toStdString(), "")
            << identifier.toStdString();
        for (auto* view : window.currentPage()->findChildren<QAbstractItemView*>()) {
            if (view->isVisibleTo(&window) && !qobject_cast<QHeaderView*>(view)) {
                EXPECT_EQ(silentCells(view).join("; ").toStdString(), "")
                    << identifier.toStdString();
            }
        }
    }
    EXPECT_GE(pages, 4);
    // The uninstaller, a row of the Fast Clean page's feature list.
    window.toggleActivePreferenceView(QStringLiteral("Scan"));
    fixture.overview->selectRow(8);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return fixture.uninstall->controller().searchFinished.get(); }, 10000));
    EXPECT_EQ(unnamedControls(&window).join("; ").toStdString(), "");
    EXPECT_EQ(silentCells(fixture.uninstall->table()).join("; ").toStdString(), "");

    auto panel = FixtureMainWindow::volumePanel();
    panel->show();
    EXPECT_EQ(unnamedControls(panel.get()).join("; ").toStdString(), "");
    for (auto* row : panel->rows()) {
        EXPECT_TRUE(accessibleName(row).contains("free of")) << accessibleName(row).toStdString();
    }
}

TEST(AccessibleNames, TheLoginItemsTableReadsItsCheckStates) {
    LoginItemsFixture fixture;
    QtMainQueue queue;
    LoginItemsPage page({.queue = &queue, .asker = std::make_shared<ScriptedAsker>()});
    page.show();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(page.table());
    ASSERT_TRUE(face && face->tableInterface());
    QAccessibleInterface* indexer = face->tableInterface()->cellAt(1, 0);  // turned off
    QAccessibleInterface* notes = face->tableInterface()->cellAt(2, 0);
    ASSERT_TRUE(indexer && notes);
    EXPECT_FALSE(indexer->state().checked);
    EXPECT_TRUE(notes->state().checked);
    EXPECT_EQ(notes->text(QAccessible::Name), "Start Notes at login");
}
