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
#include <algorithm>

#include "monitor/ui/MenuItemView.h"
#include "shell/FastCleanPage.h"
#include "support/UiPictures.h"
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
        // A spin box's text field is read as the spin box, which carries the name.
        if (qobject_cast<const QAbstractSpinBox*>(widget->parentWidget())) continue;
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

// Pictures of the main window on each page and of the tray's volume panel, from fixture data,
// for the README and for reviewing a change's look; then every control there must be named for
// assistive technology.
TEST(MainWindowPictures, EveryPageAndTheTrayPanelArePicturedAndNamed) {
    FixtureMainWindow fixture;
    PrefsWindowController& window = fixture.window;
    window.showWindow();

    auto picture = [&](const char* identifier, const char* name, int row = -1) {
        window.toggleActivePreferenceView(identifier);
        if (row >= 0) fixture.overview->selectRow(row);
        QTest::qWait(50);
        QImage image = window.grab().toImage();
        EXPECT_EQ(image.deviceIndependentSize().toSize(), window.size());
        saveUiPicture(image, name);
    };
    picture("Scan", "main-window-my-computer", 0);
    picture("Scan", "main-window-volumes", 9);
    fixture.overview->selectRow(8);
    UninstallAppsController& apps = fixture.uninstall->controller();
    ASSERT_TRUE(QTest::qWaitFor([&] { return apps.searchFinished.get(); }, 10000));
    for (const char* name : {"Vim", "Notes"}) {
        auto shown = apps.allApplications.get();
        auto app = std::find_if(shown.begin(), shown.end(),
                                [&](const AppItems& item) { return item.name == name; });
        apps.setObjectValueForCheckBox(static_cast<int>(app - shown.begin()));
    }
    picture("Scan", "main-window-uninstall", 8);
    picture("duplicates_file", "main-window-duplicates");
    picture("disk_usage", "main-window-disk-usage");
    picture("memory", "main-window-memory");
    picture("login_items", "main-window-login-items");
    picture("preferences", "main-window-preferences");

    fixture.overview->selectRow(0);  // the overview's first row, as the window opens
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
    EXPECT_EQ(unnamedControls(&window).join("; ").toStdString(), "");
    EXPECT_EQ(silentCells(fixture.uninstall->table()).join("; ").toStdString(), "");

    auto panel = FixtureMainWindow::volumePanel();
    EXPECT_EQ(panel->rows().size(), 5u);
    saveUiPicture(*panel, "tray-volume-panel");
    panel->show();
    EXPECT_EQ(unnamedControls(panel.get()).join("; ").toStdString(), "");
    for (auto* row : panel->rows()) {
        EXPECT_TRUE(accessibleName(row).contains("free of")) << accessibleName(row).toStdString();
    }
}
