// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

#include "monitor/AppDelegate.h"
#include "monitor/FakeVolumes.h"
#include "monitor/UpdateChecker.h"
#include "monitor/ui/BubbleView.h"
#include "monitor/ui/TrayAgentView.h"
#include "monitor/ui/VolumePanel.h"
#include "platform/MachineFactsSource.h"
#include "platform/Services.h"
#include "shell/AppController.h"
#include "shell/FastCleanPage.h"
#include "shell/PreferencesPane.h"
#include "shell/PrefsWindowController.h"
#include "shell/QuillbyProApplication.h"
#include "support/FakePackageUpdates.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

// Sources that count their reads, and those made on the GUI thread (the test's).
struct CountingReads {
    std::atomic<int> reads{0}, onGuiThread{0};
    std::thread::id gui = std::this_thread::get_id();
    void count() {
        ++reads;
        if (std::this_thread::get_id() == gui) ++onGuiThread;
    }
};

struct CountingVolumeSource : VolumeSource, CountingReads {
    std::vector<VolumeFacts> mountedVolumes() override {
        count();
        return {facts(1, "/", 1000, 500), facts(2, "/home", 4000, 1000)};
    }
};

struct CountingFacts : MachineFactsSource, CountingReads {
    PlatformMachineFacts machineFacts() override {
        count();
        return {.hostname = "desk"};
    }
};

// The tray's commands as the user reaches them: a context menu entry or a panel button.
void triggerContextMenu(TrayAgentView& view, const QString& title) {
    for (QAction* action : view.contextMenu()->actions()) {
        if (action->text() == title) return action->trigger();
    }
    ADD_FAILURE() << "no context menu entry " << title.toStdString();
}

void clickPanelButton(TrayAgentView& view, const QString& title) {
    for (auto* button : view.panel()->findChildren<QPushButton*>()) {
        if (button->text() == title) return button->click();
    }
    ADD_FAILURE() << "no panel button " << title.toStdString();
}

bool hasRow(FastCleanPage& overview, int row) {
    QListWidget* list = overview.featureList();
    for (int index = 0; index < list->count(); ++index) {
        if (list->item(index)->data(Qt::UserRole).toInt() == row) return true;
    }
    return false;
}

}  // namespace

// The agent's enumeration of a tick, made on a worker, feeds its menu, the volume tiles and the
// overview page; the machine facts are read on a worker too: the GUI thread reads neither. Each
// tray command opens the window on its page; the feature rows are those of the "Scan" page, and
// a row this build lacks leaves the selection as it was.
TEST(QuillbyProApplication, NoVolumeOrFactReadOnTheGuiThreadAndTrayCommandsOpenTheirPagesAndRows) {
    TestPlatform platform;
    auto source = std::make_shared<CountingVolumeSource>();
    auto machine = std::make_shared<CountingFacts>();
    auto installedFacts = Services::get<MachineFactsSource>();
    Services::install<VolumeSource>(source);
    Services::install<MachineFactsSource>(machine);
    {
        QuillbyProApplication program;
        ASSERT_TRUE(program.start());
        program.agent().stopTimer();
        program.mainWindow().showMainWindow();  // builds the pages that show volumes
        bool arrived = false;
        program.agent().refreshVolumes([&] { arrived = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return arrived && machine->reads > 0; }));
        EXPECT_GE(source->reads, 1);
        EXPECT_EQ(source->onGuiThread, 0);
        EXPECT_EQ(machine->onGuiThread, 0);

        PrefsWindowController& window = program.mainWindow().window();
        for (auto trigger : {&triggerContextMenu, &clickPanelButton}) {
            window.hide();
            trigger(program.view(), QStringLiteral("Preferences\u2026"));
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(window.currentIdentifier(), "preferences");
            EXPECT_TRUE(window.toolbarItem("preferences")->isChecked());

            trigger(program.view(), QStringLiteral("Free Space"));
            EXPECT_EQ(window.currentIdentifier(), "Scan");
            auto* overview = qobject_cast<FastCleanPage*>(window.currentPage());
            ASSERT_TRUE(overview);
            EXPECT_EQ(overview->selectedRow(), 9);

            trigger(program.view(), QStringLiteral("Uninstall"));
            EXPECT_EQ(overview->selectedRow(), hasRow(*overview, 8) ? 8 : 9);

            window.toggleActivePreferenceView("memory");
            trigger(program.view(), QStringLiteral("Scan"));
            EXPECT_EQ(window.currentIdentifier(), "Scan");
            EXPECT_EQ(overview->selectedRow(), 0);
        }

        EXPECT_FALSE(program.view().aboutDialog());
        triggerContextMenu(program.view(), QStringLiteral("About Quillby Pro"));
        auto* about = qobject_cast<QMessageBox*>(program.view().aboutDialog());
        ASSERT_TRUE(about);
        EXPECT_TRUE(about->isVisible());
        EXPECT_FALSE(about->isModal());
        EXPECT_TRUE(about->text().contains("Version 4.0"));
        EXPECT_TRUE(about->informativeText().contains("find duplicates"));
        EXPECT_TRUE(about->informativeText().contains("GNU General Public License"));
        // A second request raises the open dialog instead of stacking another.
        clickPanelButton(program.view(), QStringLiteral("About Quillby Pro"));
        EXPECT_EQ(program.view().aboutDialog(), about);
        about->close();
    }
    Services::install<VolumeSource>(nullptr);
    Services::install<MachineFactsSource>(installedFacts);
}

// Where PackageKit runs, the preferences offer the automatic update check, the checker follows
// what they store at once and a newer version shows a balloon; where it does not, both
// controls stay hidden and nothing is scheduled.
TEST(QuillbyProApplication, TheUpdateControlsShowOnlyWithPackageKitAndTheCheckerFollowsThem) {
    for (bool running : {false, true}) {
        TestPlatform platform;
        Services::install<PackageUpdateService>(std::make_shared<FakePackageUpdates>(
            running,
            std::vector<PackageUpdateAnswer>{{PackageUpdateAnswer::State::Newer, "4.1-1", ""}}));
        QuillbyProApplication program;
        ASSERT_TRUE(program.start());
        program.agent().stopTimer();
        program.mainWindow().showPage(QStringLiteral("preferences"));
        auto* pane = qobject_cast<PreferencesPane*>(program.mainWindow().window().currentPage());
        ASSERT_TRUE(pane);
        ASSERT_TRUE(QTest::qWaitFor([&] { return program.updates().available().has_value(); }));
        EXPECT_EQ(pane->automaticChecksBox()->isVisibleTo(pane), running);
        EXPECT_EQ(pane->checkIntervalPopUp()->isVisibleTo(pane), running);
        EXPECT_FALSE(program.updates().scheduled());  // off until the user turns it on
        if (!running) continue;

        pane->automaticChecksBox()->click();
        EXPECT_TRUE(program.updates().scheduled());
        QComboBox* interval = pane->checkIntervalPopUp();
        emit interval->activated(interval->findData(604800));
        EXPECT_EQ(program.updates().interval(), std::chrono::seconds(604800));

        // A newer version shows a balloon (once per version: UpdateChecker's own case).
        BubbleView& balloons = *program.view().bubbles();
        balloons.setLifetime(60000);
        program.updates().check();
        EXPECT_TRUE(QTest::qWaitFor([&] { return balloons.openCount() == 1; }));
    }
    Services::install<PackageUpdateService>(nullptr);
}
