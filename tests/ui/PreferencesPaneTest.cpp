// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "shell/PreferencesPane.h"
#include "support/TestPlatform.h"
#include "support/UiPictures.h"

using namespace quillby;

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
    EXPECT_EQ(stored.spaceAlarmSlider()->accessibleName(), "Free disk space alert");
    EXPECT_EQ(stored.memoryAlarmSlider()->accessibleName(), "Free memory alert");
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
