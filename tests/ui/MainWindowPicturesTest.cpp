// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QTest>
#include <algorithm>

#include "shell/FastCleanPage.h"
#include "support/UiPictures.h"
#include "ui/FixtureMainWindow.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/ui/UninstallAppsPage.h"

using namespace quillby;

// Pictures of the main window on each page and of the tray's volume panel, from fixture data,
// for the README and for reviewing a change's look.
TEST(MainWindowPictures, EveryPageAndTheTrayPanel) {
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

    auto panel = FixtureMainWindow::volumePanel();
    EXPECT_EQ(panel->rows().size(), 5u);
    saveUiPicture(*panel, "tray-volume-panel");
}
