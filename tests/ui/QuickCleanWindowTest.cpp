// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "clean/CleanCategory.h"
#include "clean/CleanFixture.h"
#include "clean/ui/CleanSysWindow.h"
#include "core/events/Events.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "ui/QtMainQueue.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The window over the fixture machine with the categories of `setting` 1 enabled.
struct QuickCleanUi {
    explicit QuickCleanUi(std::vector<int> enabled) {
        for (int id = 0; id < CleanCategoryId::Count; ++id) {
            bool on = std::find(enabled.begin(), enabled.end(), id) != enabled.end();
            PreferenceViewController::setCategoryClicked(id, on ? 1 : 0);
        }
        // The window's questions are real message boxes; the clean's question has its own tests.
        UserDefaults::standardUserDefaults().setBool(false, SettingsKey::ConfirmClean);
        window = std::make_unique<CleanSysWindow>(
            CleanSysController::Options{
                .folders = [this](int id) { return machine.folders().cleanFolders(id); },
                .mainQueue = &queue,
                .deleteOptions = {.authorization = &noRights()}},
            [this](const std::vector<std::string>& lines, bool) { balloons.push_back(lines); });
    }

    CleanFixture machine;
    QtMainQueue queue;
    EventRecorder events{{Events::ShouldCloseWindow}};
    std::vector<std::vector<std::string>> balloons;
    std::unique_ptr<CleanSysWindow> window;
};

}  // namespace

// Shown above other windows with a bar that runs to and fro while scanning; at the end a full
// bar, no cancel button, the balloon, and the request to close a second later.
TEST(QuickCleanWindowUi, ScansDeletesAndAsksToCloseAfterTheBalloon) {
    QuickCleanUi ui({CleanCategoryId::UserCaches});
    CleanSysWindow& window = *ui.window;
    window.resetStatus();
    ASSERT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.progressBar()->maximum(), 0);  // indeterminate while scanning
    EXPECT_TRUE(window.cancelButton()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.controller().phase() == CleanSysController::Phase::Closing; }));
    EXPECT_EQ(window.progressBar()->maximum(), 100);
    EXPECT_EQ(window.progressBar()->value(), 100);
    EXPECT_FALSE(window.cancelButton()->isVisible());
    EXPECT_FALSE(window.failuresButton()->isVisible());
    EXPECT_EQ(ui.balloons.size(), 1u);
    EXPECT_TRUE(fs::is_empty(ui.machine / "home/.cache"));
    EXPECT_TRUE(ui.events.names().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ui.events.names().empty(); }, 3000));
}

TEST(QuickCleanWindowUi, NothingToCleanShowsNoWindow) {
    QuickCleanUi ui({});
    ui.window->resetStatus();
    EXPECT_FALSE(ui.window->isVisible());
    EXPECT_EQ(ui.balloons.size(), 1u);
}
