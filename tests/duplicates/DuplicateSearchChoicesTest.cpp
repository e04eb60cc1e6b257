// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "duplicates/DuplicateSearchChoices.h"
#include "platform/MemoryPreferencesStore.h"

using namespace quillby;

namespace {

class DuplicateSearchChoicesTest : public ::testing::Test {
  protected:
    UserDefaults defaults{std::make_shared<MemoryPreferencesStore>()};
    DuplicateSearchChoices choices{defaults};
    int told = 0;
    Subscription observing = DuplicateSearchChoices::observe([this] { ++told; });
};

}  // namespace

TEST_F(DuplicateSearchChoicesTest, EveryStoredOptionIsStoredAtOnceAndAnnounced) {
    choices.setLimit(3);
    choices.setUnit(1);
    choices.setIncludeHidden(true);
    choices.setIncludeSystem(true);
    EXPECT_EQ(told, 4);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::QWDuplicationLimit), 3);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::QWDuplicatesUnit), 1);
    EXPECT_TRUE(defaults.boolForKey(SettingsKey::QWHidenDuplication));
    EXPECT_TRUE(defaults.boolForKey(SettingsKey::QWSystemDuplication));
    DuplicateSearchSettings settings = choices.settings();
    EXPECT_EQ(settings.threshold, 3000u);
    EXPECT_TRUE(settings.includeHidden && settings.includeSystem);
    choices.setLimit(-5);
    EXPECT_EQ(choices.limit(), 0);
    // Another writer of the settings is read back, not a copy.
    defaults.setBool(false, SettingsKey::QWHidenDuplication);
    EXPECT_FALSE(choices.includeHidden());
}

TEST_F(DuplicateSearchChoicesTest, ExcludesTakeAbsolutePathsAndNameGlobsOnce) {
    struct Case {
        std::string entry;
        bool added;
    } cases[] = {
        {"/home/u/cache//", true},
        {"/home/u/cache", false},  // the same folder
        {"*.tmp", true},
        {"*.tmp", false},
        {"relative/path", false},
        {"", false},
        {"a/*.o", false},  // a glob matches names, which hold no slash
        {"/", true},
    };
    for (const auto& c : cases) EXPECT_EQ(choices.addExclude(c.entry), c.added) << c.entry;
    const std::vector<std::string> listed{"/home/u/cache", "*.tmp", "/"};
    EXPECT_EQ(choices.excludes(), listed);
    EXPECT_EQ(choices.settings().excludes, listed);
    EXPECT_EQ(told, 3);
    EXPECT_TRUE(choices.removeExclude(0));
    EXPECT_FALSE(choices.removeExclude(5));
    EXPECT_EQ(choices.excludes(), (std::vector<std::string>{"*.tmp", "/"}));
    EXPECT_EQ(defaults.linesForKey(SettingsKey::DuplicateExcludes), choices.excludes());
}

TEST_F(DuplicateSearchChoicesTest, KeepInFoldersBelongToTheSessionAndAreNeverStored) {
    EXPECT_TRUE(choices.addKeepIn("/photos/originals/"));
    EXPECT_FALSE(choices.addKeepIn("/photos/originals"));
    EXPECT_FALSE(choices.addKeepIn("photos"));
    EXPECT_EQ(choices.settings().keepIn, (std::vector<std::string>{"/photos/originals"}));
    EXPECT_EQ(told, 0);
    EXPECT_TRUE(DuplicateSearchChoices(defaults).keepIn().empty());
    EXPECT_TRUE(choices.removeKeepIn(0));
    EXPECT_TRUE(choices.settings().keepIn.empty());
}
