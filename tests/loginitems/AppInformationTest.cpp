// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "core/events/Log.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "loginitems/AppInformation.h"
#include "loginitems/FakeLoginItems.h"
#include "loginitems/LoginItemRegistry.h"
#include "platform/linux/AutostartLoginItems.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

class AppInformationTest : public ::testing::Test {
  protected:
    void TearDown() override { FakeLoginItems::uninstall(); }

    fs::path program(const std::string& relative) const {
        return platform.root().writeExecutable(relative, "#!/bin/sh\n");
    }
    fs::path autostart(const std::string& name) const {
        return platform.context().xdgConfigHome / "autostart" / name;
    }
    std::vector<LoginItemRecord> records() const {
        auto all = AppInformation::loginItemRecords();
        EXPECT_TRUE(all);
        return all ? *all : std::vector<LoginItemRecord>{};
    }
    std::int64_t loginCheck() const {
        return UserDefaults::standardUserDefaults().integerForKey(SettingsKey::LoginCheck);
    }

    TestPlatform platform;
    std::vector<std::string> lines;
    ScopedLogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

}  // namespace

TEST_F(AppInformationTest, RecordsComeFromTheItemsUrlsAndEntries) {
    auto fake = FakeLoginItems::install();
    fs::path tool = program("opt/a b/run");
    LoginItemEntry named = FakeLoginItems::item("org.example.Tool.desktop", "/x");
    named.url = "file://localhost/home/localhost/tool%20box";  // "localhost" inside the path too
    named.name = "Tool Box";
    named.icon = "toolbox";
    named.system = true;
    named.hidden = true;
    LoginItemEntry web = FakeLoginItems::item("web.desktop", "/x");
    web.url = "https://example.org/page";
    fake->entries = {FakeLoginItems::item("run.desktop", tool.string()), named, web,
                     FakeLoginItems::item("gone.desktop", "/msng")};

    std::vector<AppItems> info;
    AppInformation::getAppInfo(&info);
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[0].path, tool.string());
    EXPECT_EQ(info[0].name, "run");
    EXPECT_EQ(info[0].bundleID, "run");
    EXPECT_EQ(info[0].image, "application-x-executable");
    EXPECT_FALSE(info[0].bIsSelected);
    EXPECT_EQ(info[0].isSystemAppStr, "NO");
    EXPECT_EQ(info[1].path, "/home/localhost/tool box");
    EXPECT_EQ(info[1].name, "Tool Box");
    EXPECT_EQ(info[1].image, "toolbox");
    EXPECT_EQ(info[1].bundleID, "org.example.Tool");
    EXPECT_TRUE(info[1].bIsSelected);
    EXPECT_TRUE(info[1].isSystemApp);
    EXPECT_EQ(info[1].isSystemAppStr, "YES");
    EXPECT_TRUE(AppInformation::isMissingItem(info[2]));
    EXPECT_EQ(lines,
              std::vector<std::string>{"Login item https://example.org/page is not a local file"});
    AppInformation::getAppInfo(nullptr);  // no list to fill: nothing happens

    // A desktop entry's own name (in the user's language), icon and identifier.
    fs::path entry = platform.root().write(
        "apps/org.example.Editor.desktop",
        "[Desktop Entry]\nType=Application\nName=Editor\nName[fr]=Éditeur\nIcon=ed\n");
    Services::setContext([&] {
        PlatformContext french = platform.context();
        french.messagesLocale = "fr_FR.UTF-8";
        return french;
    }());
    AppItems editor = AppInformation::constructAppItem(entry.string(), false);
    EXPECT_EQ(editor.name, "Éditeur");
    EXPECT_EQ(editor.image, "ed");
    EXPECT_EQ(editor.bundleID, "org.example.Editor");
}

TEST_F(AppInformationTest, TheLaunchAtLoginSwitchKeepsTheProgramsItemAndLoginCheckInStep) {
    Services::install<LoginItemsBackend>(std::make_shared<AutostartLoginItems>(platform.context()));
    fs::path executable = program("build/quillby-pro");

    ASSERT_TRUE(AppInformation::changeLaunchAppWhenLogin(1, executable));
    EXPECT_EQ(loginCheck(), 1);
    ASSERT_TRUE(fs::exists(autostart("com.quillby.pro.desktop")));
    auto items = records();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].record.path, executable.string());
    EXPECT_EQ(items[0].record.name, "Quillby Pro");
    EXPECT_TRUE(AppInformation::isProgramItem(items[0].record));
    EXPECT_FALSE(items[0].record.bIsSelected);

    ASSERT_TRUE(AppInformation::changeLaunchAppWhenLogin(1, executable));  // still one item
    EXPECT_EQ(records().size(), 1u);
    ASSERT_TRUE(AppInformation::changeLaunchAppWhenLogin(0, executable));
    EXPECT_EQ(loginCheck(), 0);
    EXPECT_FALSE(fs::exists(autostart("com.quillby.pro.desktop")));
    EXPECT_TRUE(records().empty());

    // An installed program is started through its own application entry, copied as it is.
    program("usr/bin/quillby-pro");
    std::string installed =
        "[Desktop Entry]\nType=Application\nName=Quillby Pro\nExec=quillby-pro\nIcon=q\n";
    fs::path entry =
        platform.root().write("usr/share/applications/com.quillby.pro.desktop", installed);
    EXPECT_EQ(AppInformation::programEntryPath(executable), entry);
    ASSERT_TRUE(AppInformation::changeLaunchAppWhenLogin(1, executable));
    EXPECT_EQ(TempDir::read(autostart("com.quillby.pro.desktop")), installed);
    EXPECT_TRUE(lines.empty());

    // The user's own item for the program is what the switch removes.
    ASSERT_TRUE(AppInformation::changeLaunchAppWhenLogin(0, executable));
    EXPECT_TRUE(records().empty());

    // A failed add is logged; the stored switch stays on.
    fs::remove_all(autostart(""));
    platform.root().write("home/.config/autostart", "a file where the folder should be");
    EXPECT_FALSE(AppInformation::changeLaunchAppWhenLogin(1, executable));
    EXPECT_EQ(loginCheck(), 1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Registry login item failed!!!");
}

namespace {

class LoginItemRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LoginItemRegistry::setRetryPause(
            [this](std::chrono::seconds pause) { pauses.push_back(pause); });
    }
    void TearDown() override {
        LoginItemRegistry::setRetryPause(nullptr);
        FakeLoginItems::uninstall();
    }
    size_t logged(const std::string& line) const {
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }

    std::shared_ptr<FakeLoginItems> fake = FakeLoginItems::install();
    std::vector<std::chrono::seconds> pauses;
    std::vector<std::string> lines;
    ScopedLogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

}  // namespace

TEST_F(LoginItemRegistryTest, TwoTimeOutsThenTheListAfterTwoOneSecondPauses) {
    fake->entries = {FakeLoginItems::item("a.desktop", "/usr/bin/a"),
                     FakeLoginItems::item("b.desktop", "/usr/bin/b", true)};
    fake->copyStatuses = {LoginItemStatus::timedOut, LoginItemStatus::timedOut};
    auto entries = LoginItemRegistry::allLoginItems();
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_TRUE((*entries)[1].hidden);
    EXPECT_EQ(logged("Get login items error -1712 occur."), 2u);
    EXPECT_EQ(logged("Get login items error -1712 and timeout."), 0u);
    EXPECT_EQ(pauses, (std::vector<std::chrono::seconds>(2, std::chrono::seconds(1))));
    EXPECT_EQ(fake->copyCalls, 3);
}

TEST_F(LoginItemRegistryTest, GivesUpAfterTheSixtyFirstTimeOutAndOnOtherErrors) {
    fake->copyStatuses = std::deque<int>(70, LoginItemStatus::timedOut);
    EXPECT_FALSE(LoginItemRegistry::allLoginItems());
    EXPECT_EQ(fake->copyCalls, 61);
    EXPECT_EQ(pauses.size(), 60u);
    EXPECT_EQ(logged("Get login items error -1712 occur."), 61u);
    EXPECT_EQ(logged("Get login items error -1712 and timeout."), 1u);
    EXPECT_EQ(lines.back(), "Get login items error -1712 and timeout.");

    lines.clear();
    pauses.clear();
    fake->copyStatuses = {LoginItemStatus::ioFailure};
    EXPECT_FALSE(LoginItemRegistry::allLoginItems());
    EXPECT_EQ(lines, std::vector<std::string>{"Couldn't list login items error -36"});
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/usr/bin/a"), -1);
}

TEST_F(LoginItemRegistryTest, FindsAddsAndRemovesByUrlPathAndIndex) {
    fake->entries = {FakeLoginItems::item("a.desktop", "/opt/a b/run"),
                     FakeLoginItems::item("sh1.desktop", "/usr/bin/sh"),
                     FakeLoginItems::item("sh2.desktop", "/usr/bin/sh")};
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/opt/a b/run"), 0);
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithURL("file:///opt/a%20b/run"), 0);
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/usr/bin/sh"), 1);  // the first
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithIdentifier("sh2.desktop"), 2);
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/usr/bin/none"), -1);

    EXPECT_FALSE(LoginItemRegistry::removeLoginItemWithPath("/usr/bin/none"));
    EXPECT_TRUE(fake->removed.empty());
    EXPECT_TRUE(LoginItemRegistry::removeLoginItemWithPath("/usr/bin/sh"));
    EXPECT_EQ(fake->removed, std::vector<std::string>{"sh1.desktop"});

    EXPECT_TRUE(LoginItemRegistry::addLoginItemWithPath("/opt/new tool", true));
    EXPECT_EQ(fake->added.back(), std::make_pair(std::string("file:///opt/new%20tool"), true));
    EXPECT_TRUE(lines.empty());

    fake->addStatus = LoginItemStatus::fileNotFound;
    fake->removeStatus = LoginItemStatus::systemItem;
    fake->hiddenStatus = LoginItemStatus::ioFailure;
    EXPECT_FALSE(LoginItemRegistry::addLoginItemWithPath("/gone", false));
    EXPECT_FALSE(LoginItemRegistry::removeLoginItemAtIndex(0));
    EXPECT_FALSE(LoginItemRegistry::setLoginItemHiddenAtIndex(0, true));
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Couldn't add login item error -43", "Couldn't remove login item error -61",
                  "Couldn't change the hidden flag of login item error -36"}));
}
