// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "shell/PreferencesPane.h"
#include "support/TestPlatform.h"
#include "support/UiPictures.h"
#include "ui/PathListEditor.h"

using namespace quillby;
namespace fs = std::filesystem;

namespace {

UserDefaults& settings() {
    return UserDefaults::standardUserDefaults();
}

// A pane over fresh settings whose launch-at-login registry records its requests.
class PreferencesPaneUi : public ::testing::Test {
  protected:
    TestPlatform platform;
    std::vector<bool> requests;
    PreferencesPane pane{[this](bool add) {
        requests.push_back(add);
        return true;
    }};
};

}  // namespace

// The picture is of the pane as it opens, before the edits below.
TEST_F(PreferencesPaneUi, RendersAndTheLimitFieldCutsToFourDigitsAndRefusesLetters) {
    EXPECT_FALSE(saveUiPicture(pane, "preferences-pane").isEmpty());
    QLineEdit* field = pane.duplicationLimitField();
    field->clear();
    QTest::keyClicks(field, "12345");
    EXPECT_EQ(field->text(), "1234");
    EXPECT_EQ(settings().integerForKey(SettingsKey::QWDuplicationLimit), 1234);
    field->clear();
    QTest::keyClicks(field, "12a");
    EXPECT_EQ(field->text(), "12");
    EXPECT_EQ(settings().integerForKey(SettingsKey::QWDuplicationLimit), 12);
}

TEST_F(PreferencesPaneUi, ShowsTheStoredSettingsAndStoresChanges) {
    settings().setFloat(0.2f, SettingsKey::SpaceAlarm);
    settings().setInteger(3, SettingsKey::QWDuplicatesUnit);
    PreferenceViewController::setUserTrashClicked(2);
    PreferencesPane stored([](bool) { return true; });
    EXPECT_EQ(stored.spaceAlarmSlider()->value(), 20);
    EXPECT_EQ(stored.memoryAlarmSlider()->value(), 10);
    EXPECT_EQ(stored.duplicatesUnit()->currentData().toInt(), 3);
    EXPECT_EQ(stored.categorySwitch(4)->checkState(), Qt::PartiallyChecked);  // "some"
    EXPECT_FALSE(stored.categorySwitch(5)->isChecked());
    EXPECT_TRUE(settings().storedValue(SettingsKey::MemoryAlarm) ==
                std::nullopt);  // reading stores nothing

    stored.memoryAlarmSlider()->setValue(25);
    EXPECT_FLOAT_EQ(settings().floatForKey(SettingsKey::MemoryAlarm), 0.25f);
    // The clean's question is on until turned off here (or by its "Don't ask again").
    EXPECT_TRUE(stored.confirmCleanBox()->isChecked());
    stored.confirmCleanBox()->click();
    EXPECT_FALSE(settings().boolForKey(SettingsKey::ConfirmClean));
    EXPECT_EQ(stored.journalLimitBox()->value(), 200);
    stored.journalLimitBox()->setValue(500);
    EXPECT_EQ(settings().integerForKey(SettingsKey::SystemJournalLimit), 500);
}

TEST_F(PreferencesPaneUi, SwitchesPostTheirEventsAndLaunchAtLoginAsksTheRegistry) {
    std::vector<std::pair<int, bool>> checks;
    std::vector<bool> hidden;
    auto a = EventBus::defaultCenter().observe(Events::changeCheckBox, [&](const Event& e) {
        checks.emplace_back(*userInfoValue<int>(e, EventKeys::tag),
                            *userInfoValue<bool>(e, EventKeys::flag));
    });
    auto b = EventBus::defaultCenter().observe(Events::setStatusBarHidden, [&](const Event& e) {
        hidden.push_back(std::any_cast<bool>(e.object));
    });
    pane.categorySwitch(1)->click();  // User Caches: on by default, now off
    pane.categorySwitch(5)->click();  // Downloads: off by default, now on
    EXPECT_EQ(checks, (std::vector<std::pair<int, bool>>{{2, true}, {6, false}}));
    EXPECT_EQ(PreferenceViewController::getUserCashesClicked(), 0);
    EXPECT_EQ(PreferenceViewController::getUserDownLoadsFoldeClicked(), 1);

    pane.hideStatusItemBox()->click();
    pane.hideStatusItemBox()->click();
    EXPECT_EQ(hidden, (std::vector<bool>{true, false}));
    EXPECT_FALSE(pane.hideStatusItemBox()->isChecked());
    EXPECT_FALSE(PreferenceViewController::getHiddenStatusItem());

    pane.launchAtLoginBox()->click();
    pane.launchAtLoginBox()->click();
    EXPECT_EQ(requests, (std::vector<bool>{true, false}));
    EXPECT_EQ(settings().integerForKey(SettingsKey::LoginCheck), 0);
}

TEST_F(PreferencesPaneUi, DiskUsageMeasureAndFoldersNeverToScanAreStored) {
    pane.allocatedSizeBox()->click();
    EXPECT_TRUE(settings().boolForKey(SettingsKey::DiskUsageAllocatedSize));

    // Choose Folder asks with a folder dialog; its choice joins the list once.
    PathListEditor& excluded = *pane.excludedFolders();
    EXPECT_EQ(excluded.field(), nullptr);  // folders only: nothing to type
    excluded.chooseButton()->click();
    auto* dialog = pane.findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    dialog->reject();
    fs::path media = platform.root() / "media";
    fs::create_directories(media);
    fs::create_directory_symlink(media, platform.root() / "link");
    excluded.addEntry(QString::fromStdString((platform.root() / "link").string()), true);
    excluded.addEntry(QString::fromStdString(media.string() + "/"), true);
    excluded.addEntry(QStringLiteral("/var/cache"), true);
    ASSERT_EQ(excluded.list()->count(), 2);
    EXPECT_EQ(excluded.list()->item(0)->text().toStdString(), media.string());
    EXPECT_EQ(settings().linesForKey(SettingsKey::DiskUsageExcludes),
              (std::vector<std::string>{media.string(), "/var/cache"}));

    EXPECT_FALSE(excluded.removeButton()->isEnabled());
    excluded.list()->setCurrentRow(0);
    excluded.removeButton()->click();
    EXPECT_EQ(settings().linesForKey(SettingsKey::DiskUsageExcludes),
              (std::vector<std::string>{"/var/cache"}));
    PreferencesPane reopened([](bool) { return true; });
    EXPECT_TRUE(reopened.allocatedSizeBox()->isChecked());
    ASSERT_EQ(reopened.excludedFolders()->list()->count(), 1);
    EXPECT_EQ(reopened.excludedFolders()->list()->item(0)->text(), "/var/cache");
}
