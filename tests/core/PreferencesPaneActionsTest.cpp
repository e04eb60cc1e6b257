// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/PreferencesPaneActions.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SizeLimit.h"
#include "core/settings/UserDefaults.h"
#include "support/TestPlatform.h"

using namespace quillby;

using Pane = PreferencesPaneActions;

namespace {
std::int64_t stored(const char* key) {
    return UserDefaults::standardUserDefaults().integerForKey(key);
}
}  // namespace

TEST(PreferencesPane, LimitFieldsKeepFourDigitsAndStoreUnderTheirTag) {
    TestPlatform platform;
    EXPECT_EQ(Pane::controlTextDidChange(Pane::kDuplicationLimitTag, "12345"), "1234");
    EXPECT_EQ(stored(SettingsKey::QWDuplicationLimit), 1234);
    EXPECT_EQ(Pane::controlTextDidChange(Pane::kDiskUsageLimitTag, "77"), "77");
    EXPECT_EQ(stored(SettingsKey::QWDiskUsageLimit), 77);
    EXPECT_EQ(stored(SettingsKey::QWDuplicationLimit), 1234);
    EXPECT_EQ(Pane::controlTextDidChange(Pane::kDiskUsageLimitTag, ""), "");
    EXPECT_EQ(stored(SettingsKey::QWDiskUsageLimit), 0);
    EXPECT_TRUE(Pane::isPartialStringValid("0123"));
    EXPECT_TRUE(Pane::isPartialStringValid(""));
    EXPECT_FALSE(Pane::isPartialStringValid("12a"));
    EXPECT_FALSE(Pane::isPartialStringValid("-1"));
    EXPECT_FALSE(Pane::isPartialStringValid("1.5"));
}

TEST(PreferencesPane, CategorySwitchNormalisesAndTellsTheFeatureList) {
    TestPlatform platform;
    std::vector<std::pair<int, bool>> seen;
    auto subscription =
        EventBus::defaultCenter().observe(Events::changeCheckBox, [&](const Event& e) {
            seen.emplace_back(*userInfoValue<int>(e, EventKeys::tag),
                              *userInfoValue<bool>(e, EventKeys::flag));
        });
    PreferenceViewController::setUserLogsClicked(2);  // "some" becomes "all" when switched on
    Pane::categorySwitchAction(4);
    EXPECT_EQ(PreferenceViewController::getUserLogsClicked(), 1);
    PreferenceViewController::setUserTrashClicked(0);
    Pane::categorySwitchAction(5);
    EXPECT_EQ(PreferenceViewController::getUserTrashClicked(), 0);
    Pane::categorySwitchAction(7);  // no such switch
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{4, false}, {5, true}}));
}

TEST(PreferencesPane, HideTrayIconTwiceShowsItAgain) {
    TestPlatform platform;
    std::vector<bool> posted;
    auto subscription = EventBus::defaultCenter().observe(
        Events::setStatusBarHidden,
        [&](const Event& e) { posted.push_back(std::any_cast<bool>(e.object)); });
    EXPECT_TRUE(Pane::changeShowStatusBtnClick());
    EXPECT_TRUE(PreferenceViewController::getHiddenStatusItem());
    EXPECT_FALSE(Pane::changeShowStatusBtnClick());
    EXPECT_FALSE(PreferenceViewController::getHiddenStatusItem());
    EXPECT_EQ(posted, (std::vector<bool>{true, false}));
}

TEST(PreferencesPane, LaunchAtLoginKeepsLoginCheckAndLogsAFailedAdd) {
    TestPlatform platform;
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    std::vector<bool> requests;
    Pane::loginButtonAction(1, [&](bool add) {
        requests.push_back(add);
        return false;
    });
    EXPECT_EQ(stored(SettingsKey::LoginCheck), 1);
    EXPECT_EQ(lines, std::vector<std::string>{"Registry login item failed!!!"});
    Pane::loginButtonAction(0, [&](bool add) {
        requests.push_back(add);
        return true;
    });
    EXPECT_EQ(stored(SettingsKey::LoginCheck), 0);
    EXPECT_EQ(requests, (std::vector<bool>{true, false}));
}

TEST(SizeLimit, EveryUnitCodeAndTheEdges) {
    EXPECT_EQ(sizeLimitInBytes(5, 0), 5u);
    EXPECT_EQ(sizeLimitInBytes(5, 1), 5000u);
    EXPECT_EQ(sizeLimitInBytes(5, 2), 5000000u);
    EXPECT_EQ(sizeLimitInBytes(5, 3), 5000000000u);
    EXPECT_EQ(sizeLimitInBytes(5, 4), 5000000000000u);
    EXPECT_EQ(sizeLimitInBytes(5, 5), 5u);  // unknown codes leave bytes
    EXPECT_EQ(sizeLimitInBytes(5, -1), 5u);
    EXPECT_EQ(sizeLimitInBytes(-5, 2), 0u);
    EXPECT_EQ(sizeLimitInBytes(INT64_MAX, 4), UINT64_MAX);
    TestPlatform platform;
    EXPECT_EQ(sizeLimitFromSettings(SettingsKey::QWDuplicationLimit, SettingsKey::QWDuplicatesUnit),
              1000000u);
}
