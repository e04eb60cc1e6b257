// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/PreferencesPaneActions.h"
#include "core/settings/SettingItems.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SizeLimit.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunctionOfData.h"
#include "platform/MemoryPreferencesStore.h"
#include "support/TestPlatform.h"

using namespace quillby;

using PVC = PreferenceViewController;

TEST(Settings, FreshUserReadsTheRegisteredDefaults) {
    TestPlatform platform;
    auto& defaults = UserDefaults::standardUserDefaults();
    PVC::initialize();
    EXPECT_FLOAT_EQ(defaults.floatForKey(SettingsKey::SpaceAlarm), 0.1f);
    // Caches and logs are picked, the trash and downloads are not.
    const std::int64_t picked[] = {
        PVC::getSystemCashesClicked(),      PVC::getUserCashesClicked(),
        PVC::getSystemLogsClickedClicked(), PVC::getUserLogsClicked(),
        PVC::getUserTrashClicked(),         PVC::getUserDownLoadsFoldeClicked()};
    EXPECT_EQ(std::vector<std::int64_t>(std::begin(picked), std::end(picked)),
              (std::vector<std::int64_t>{1, 1, 1, 1, 0, 0}));
    EXPECT_FALSE(PVC::getHiddenStatusItem());
    EXPECT_EQ(defaults.integerForKey(SettingsKey::LoginCheck), 0);
    // Unregistered keys read as 0 or false; registering never writes anything.
    EXPECT_EQ(defaults.integerForKey(SettingsKey::DisplayType), 0);
    EXPECT_FALSE(defaults.boolForKey(SettingsKey::SUEnableAutomaticChecks));
    EXPECT_TRUE(platform.preferences().readAll().empty());
}

TEST(Settings, AccessorsStoreUnderTheirKeysAndFloatsAsTheirShortestDecimal) {
    TestPlatform platform;
    PVC::setUserTrashClicked(2);
    PVC::setUserDownLoadsFolderClicked(1);
    PVC::setLastClickRow(8);
    PVC::setLoginItemIsHide(1);
    PVC::setHiddenStatusItem(true);
    auto stored = platform.preferences().readAll();
    EXPECT_EQ(std::get<std::int64_t>(stored.at("UserTrash")), 2);
    EXPECT_EQ(std::get<std::int64_t>(stored.at("UserDownloads")), 1);
    EXPECT_EQ(std::get<std::int64_t>(stored.at("QWLastClickRow")), 8);
    EXPECT_TRUE(PVC::getLoginItemIsHide());
    EXPECT_TRUE(std::get<bool>(stored.at("QWShowStatusItem")));
    EXPECT_EQ(PVC::categoryClicked(6), 0);  // out of range reads nothing
    // A float is stored as its shortest decimal.
    UserDefaults::standardUserDefaults().setFloat(0.1f, SettingsKey::SpaceAlarm);
    EXPECT_DOUBLE_EQ(std::get<double>(*platform.preferences().read("SpaceAlarm")), 0.1);
}

TEST(Settings, StoredValuesOfAnyFormReadByTheirLeadingValue) {
    using S = std::string;
    EXPECT_EQ((std::vector<std::int64_t>{settingAsInteger(SettingValue(S("12abc"))),
                                         settingAsInteger(SettingValue(1.9)),
                                         settingAsInteger(SettingValue(true))}),
              (std::vector<std::int64_t>{12, 1, 1}));
    for (const char* text : {"YES", " 007"}) EXPECT_TRUE(settingAsBool(SettingValue(S(text))));
    for (const char* text : {"no", "000"}) EXPECT_FALSE(settingAsBool(SettingValue(S(text))));
    EXPECT_DOUBLE_EQ(settingAsDouble(SettingValue(S("0.25 of it"))), 0.25);
    EXPECT_EQ(settingAsText(SettingValue(0.1)), "0.1");
}

TEST(Settings, SnapshotTextsAndTheirSerialisedKeys) {
    TestPlatform platform;
    PVC::setSystemLogsClicked(2);
    UserDefaults::standardUserDefaults().setInteger(3, SettingsKey::DisplayType);
    SettingItems items = UtilityFunctionOfData::getMyData().readerTxtForSettingValue();
    EXPECT_EQ((std::vector<std::string>{items.errorValue, items.digital, items.systemCaches,
                                        items.systemLogs, items.userTrash, items.downloads,
                                        items.graphic}),
              (std::vector<std::string>{"0.100000", "3", "1", "2", "0", "0", ""}));

    auto coder = items.encodeWithCoder();
    EXPECT_EQ((std::vector<std::string>{coder.at("SystemCache"), coder.at("SystemLog"),
                                        coder.at("Downloads"), coder.at("ErrorValue")}),
              (std::vector<std::string>{"1", "2", "0", "0.100000"}));
    EXPECT_EQ(SettingItems::initWithCoder(coder), items);
}

TEST(Settings, FormBodySkipsMalformedPieces) {
    auto& data = UtilityFunctionOfData::getMyData();
    EXPECT_FALSE(data.parseFormBodyWith(std::nullopt).has_value());
    EXPECT_TRUE(data.parseFormBodyWith(std::string(""))->empty());
    auto pairs = *data.parseFormBodyWith(std::string("a=1&b&c=2=3&d=&e=5"));
    EXPECT_EQ(pairs, (decltype(pairs){{"a", "1"}, {"d", ""}, {"e", "5"}}));
}

TEST(Settings, UserInputIsCheckedAgainstTheKeyTable) {
    auto parse = [](const char* key, const char* text) {
        return parseSettingInput(*findSettingKey(key), text);
    };
    EXPECT_EQ(std::get<std::int64_t>(*parse("UserTrash", "2").value), 2);
    EXPECT_NE(parse("UserTrash", "7").error.find("between 0 and 2"), std::string::npos);
    EXPECT_DOUBLE_EQ(std::get<double>(*parse("SpaceAlarm", "0.25").value), 0.25);
    EXPECT_TRUE(std::get<bool>(*parse("fade", "YES").value));
    EXPECT_FALSE(std::get<bool>(*parse("fade", "off").value));
    EXPECT_EQ(std::get<std::int64_t>(*parse("QWDuplicatesUnit", "9").value), 9);
    EXPECT_EQ(std::get<std::string>(*parse("DiskUsageChartKind", "treemap").value), "treemap");
    const std::pair<const char*, const char*> refused[] = {{"UserTrash", "7"},
                                                           {"UserTrash", "-1"},
                                                           {"UserTrash", "1.5"},
                                                           {"UserTrash", ""},
                                                           {"SpaceAlarm", "abc"},
                                                           {"SpaceAlarm", "1.5"},
                                                           {"SpaceAlarm", "nan"},
                                                           {"fade", "2"},
                                                           {"QWToolbarItem_app", "-3"},
                                                           {"DiskUsageChartKind", "tree"},
                                                           {"DiskUsageChartKind", "ring treemap"}};
    for (const auto& [key, text] : refused) EXPECT_FALSE(parse(key, text).value) << key << text;
    EXPECT_EQ(findSettingKey("NoSuchKey"), nullptr);
}

TEST(Settings, KeyTableNamesEveryKeyOnce) {
    std::set<std::string> names;
    for (const auto& key : settingKeyTable())
        EXPECT_TRUE(names.insert(key.name).second) << key.name;
    EXPECT_TRUE(std::get<bool>(registeredDefaultsOf(SettingRegistrar::MainWindow).at("fade")));
}

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
    for (const char* text : {"0123", ""}) EXPECT_TRUE(Pane::isPartialStringValid(text)) << text;
    for (const char* text : {"12a", "-1", "1.5"})
        EXPECT_FALSE(Pane::isPartialStringValid(text)) << text;
}

TEST(PreferencesPane, CategorySwitchNormalisesAndTellsTheFeatureList) {
    TestPlatform platform;
    std::vector<std::pair<int, bool>> seen;
    auto subscription =
        EventBus::defaultCenter().observe(Events::changeCheckBox, [&](const Event& e) {
            seen.emplace_back(*userInfoValue<int>(e, EventKeys::tag),
                              *userInfoValue<bool>(e, EventKeys::flag));
        });
    PVC::setUserLogsClicked(2);  // "some" becomes "all" when switched on
    Pane::categorySwitchAction(4);
    EXPECT_EQ(PVC::getUserLogsClicked(), 1);
    PVC::setUserTrashClicked(0);
    Pane::categorySwitchAction(5);
    EXPECT_EQ(PVC::getUserTrashClicked(), 0);
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
    EXPECT_TRUE(PVC::getHiddenStatusItem());
    EXPECT_FALSE(Pane::changeShowStatusBtnClick());
    EXPECT_FALSE(PVC::getHiddenStatusItem());
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
    // {size, unit code, bytes}: unknown codes leave bytes, negatives are none, overflow saturates.
    const struct {
        std::int64_t size;
        int unit;
        std::uint64_t bytes;
    } cases[] = {
        {5, 0, 5}, {5, 1, 5000}, {5, 2, 5000000}, {5, 3, 5000000000},        {5, 4, 5000000000000},
        {5, 5, 5}, {5, -1, 5},   {-5, 2, 0},      {INT64_MAX, 4, UINT64_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ(sizeLimitInBytes(c.size, c.unit), c.bytes) << c.size << " " << c.unit;
    TestPlatform platform;
    EXPECT_EQ(sizeLimitFromSettings(SettingsKey::QWDuplicationLimit, SettingsKey::QWDuplicatesUnit),
              1000000u);
}
