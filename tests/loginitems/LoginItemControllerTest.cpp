// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <thread>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/work/PlainMainQueue.h"
#include "loginitems/FakeLoginItems.h"
#include "loginitems/LoginItemAddition.h"
#include "loginitems/LoginItemController.h"
#include "platform/linux/AutostartLoginItems.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedAsker.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

class LoginItemControllerTest : public ::testing::Test {
  protected:
    void TearDown() override { FakeLoginItems::uninstall(); }

    std::string file(const std::string& name) const {
        return platform.root().write("items/" + name, "x").string();
    }
    std::vector<std::string> names(const LoginItemController& page) const {
        std::vector<std::string> shown;
        for (const auto& record : page.allLoginItemsInfo.get()) shown.push_back(record.name);
        return shown;
    }

    TestPlatform platform;
    std::shared_ptr<FakeLoginItems> fake = FakeLoginItems::install();
    PlainMainQueue mainQueue;
    std::vector<std::string> lines;
    ScopedLogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

}  // namespace

TEST_F(LoginItemControllerTest, RemovingARowRemovesThatItemAndKeepsLoginCheckInStep) {
    fake->entries = {FakeLoginItems::item("com.quillby.pro.desktop", file("quillby-pro")),
                     FakeLoginItems::item("first.desktop", "/usr/bin/sh"),
                     FakeLoginItems::item("second.desktop", "/usr/bin/sh")};
    UserDefaults::standardUserDefaults().setInteger(1, SettingsKey::LoginCheck);
    int menuRebuilds = 0;
    auto subscription = EventBus::defaultCenter().observe(
        Events::refMenuItemWhenDeleteAndAdd, [&menuRebuilds](const Event&) { ++menuRebuilds; });
    LoginItemController page(mainQueue);
    int announced = 0;
    auto observer = page.allLoginItemsInfo.observe([&announced](const auto&) { ++announced; });

    // Two items start the same program: the row's own item goes.
    ASSERT_TRUE(page.delLoginItem(2));
    EXPECT_EQ(fake->removed, std::vector<std::string>{"second.desktop"});
    EXPECT_EQ(page.allLoginItemsInfo.get().size(), 2u);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey(SettingsKey::LoginCheck), 1);
    EXPECT_EQ(menuRebuilds, 0);

    ASSERT_TRUE(page.delLoginItem(0));
    EXPECT_EQ(fake->removed.back(), "com.quillby.pro.desktop");
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey(SettingsKey::LoginCheck), 0);
    EXPECT_EQ(menuRebuilds, 1);

    // A failed removal changes nothing.
    fake->removeStatus = LoginItemStatus::systemItem;
    EXPECT_FALSE(page.delLoginItem(0));
    EXPECT_FALSE(page.delLoginItem(7));
    EXPECT_EQ(page.allLoginItemsInfo.get().size(), 1u);
    EXPECT_EQ(announced, 2);
}

TEST_F(LoginItemControllerTest, HideToggleFlipsOnlyWhatTheListTook) {
    fake->entries = {FakeLoginItems::item("a.desktop", file("a")),
                     FakeLoginItems::item("b.desktop", file("b"), true),
                     FakeLoginItems::item("c.desktop", file("c"))};
    LoginItemController page(mainQueue);
    ASSERT_TRUE(page.changeHideState(0));
    EXPECT_TRUE(fake->entries[0].hidden);
    EXPECT_TRUE(page.allLoginItemsInfo.get()[0].bIsSelected);
    ASSERT_TRUE(page.changeHideState(1));
    EXPECT_FALSE(fake->entries[1].hidden);
    EXPECT_FALSE(page.allLoginItemsInfo.get()[1].bIsSelected);

    fake->hiddenStatus = LoginItemStatus::ioFailure;
    EXPECT_FALSE(page.changeHideState(2));
    EXPECT_FALSE(page.allLoginItemsInfo.get()[2].bIsSelected);
    fake->hiddenStatus = LoginItemStatus::success;

    // The file is gone and the rebuilt list is shorter: nothing changes.
    int writes = fake->hiddenWrites;
    fs::remove(page.allLoginItemsInfo.get()[2].path);
    fake->entries.pop_back();
    EXPECT_FALSE(page.changeHideState(2));
    EXPECT_EQ(fake->hiddenWrites, writes);
    EXPECT_EQ(page.allLoginItemsInfo.get().size(), 2u);

    // The file is gone but the list kept its length: the row's item is changed.
    fs::remove(page.allLoginItemsInfo.get()[1].path);
    ASSERT_TRUE(page.changeHideState(1));
    EXPECT_TRUE(fake->entries[1].hidden);
}

TEST_F(LoginItemControllerTest, DropsReorderTheRowsAddFilesAndLogText) {
    for (const char* name : {"r0", "r1", "r2", "r3", "r4"}) {
        fake->entries.push_back(FakeLoginItems::item(std::string(name) + ".desktop", file(name)));
    }
    LoginItemController page(mainQueue);

    EXPECT_EQ(LoginItemDropRules::availableType({"text/plain", "text/uri-list"}),
              LoginItemDragType::fileNames);
    EXPECT_EQ(LoginItemDropRules::availableType({"text/plain"}), LoginItemDragType::plainText);
    EXPECT_EQ(LoginItemDropRules::availableType({"image/png"}), std::nullopt);
    auto rows = LoginItemDropRules::decodeRows(LoginItemDropRules::encodeRows({3, 1}));
    ASSERT_TRUE(rows);
    EXPECT_FALSE(LoginItemDropRules::decodeRows("1,x"));
    EXPECT_FALSE(LoginItemDropRules::decodeRows("1,"));

    // Rows 1 and 3 dropped at row 3; the list's own order is untouched.
    ASSERT_TRUE(page.acceptDrop({LoginItemDragType::privateRows, *rows, {}, {}}, 3));
    EXPECT_EQ(names(page), (std::vector<std::string>{"r0", "r2", "r1", "r3", "r4"}));
    EXPECT_EQ(LoginItemDropRules::reorderedRows(3, {0, 2, 9}, 9), (std::vector<size_t>{1, 0, 2}));
    ASSERT_TRUE(page.delLoginItem(2));  // the row shows r1, so r1 goes
    EXPECT_EQ(fake->removed, std::vector<std::string>{"r1.desktop"});

    // Two dropped files are added, not hidden.
    auto paths = LoginItemDropRules::pathsFromURIList(
        "# from the file "
        "manager\r\nfile:///opt/one%20app\r\nhttps://x.org/\r\nfile:///opt/two\r\n");
    ASSERT_EQ(paths, (std::vector<std::string>{"/opt/one app", "/opt/two"}));
    ASSERT_TRUE(page.acceptDrop({LoginItemDragType::fileNames, {}, paths, {}}, 0));
    EXPECT_EQ(fake->added, (std::vector<std::pair<std::string, bool>>{
                               {"file:///opt/one%20app", false}, {"file:///opt/two", false}}));
    EXPECT_EQ(names(page), (std::vector<std::string>{"r0", "r2", "r3", "r4", "one app", "two"}));

    lines.clear();
    EXPECT_TRUE(page.acceptDrop({LoginItemDragType::plainText, {}, {}, "hello"}, 0));
    EXPECT_TRUE(page.acceptDrop({LoginItemDragType::plainText, {}, {}, "h\xc3\xa9"}, 0));
    EXPECT_EQ(lines, (std::vector<std::string>{"zStringData =hello", "zStringData =(null)"}));
    EXPECT_FALSE(page.acceptDrop({"image/png", {}, {}, {}}, 0));
    EXPECT_EQ(page.allLoginItemsInfo.get().size(), 6u);
}

TEST_F(LoginItemControllerTest, ChangeNoticesRebuildTheListOnTheMainQueue) {
    fake->entries = {FakeLoginItems::item("a.desktop", file("a")),
                     FakeLoginItems::item("gone.desktop", "/msng")};
    auto page = std::make_unique<LoginItemController>(mainQueue);
    EXPECT_EQ(names(*page), std::vector<std::string>{"a"});  // the missing item is left out
    ASSERT_TRUE(fake->changedCallback);

    fake->entries.push_back(FakeLoginItems::item("b.desktop", file("b")));
    std::thread([this] { fake->changedCallback(); }).join();
    EXPECT_EQ(names(*page).size(), 1u);  // nothing happens before the main queue runs
    EXPECT_EQ(mainQueue.drain(), 1u);
    EXPECT_EQ(names(*page), (std::vector<std::string>{"a", "b"}));

    // A notice still queued when the page goes finds it gone.
    std::thread([this] { fake->changedCallback(); }).join();
    page.reset();
    EXPECT_EQ(mainQueue.drain(), 1u);
}

// The real autostart folder, which does not exist yet, changed by another process.
TEST_F(LoginItemControllerTest, SeesEntriesWrittenAndRemovedByAnotherProcess) {
    Services::install<LoginItemsBackend>(std::make_shared<AutostartLoginItems>(platform.context()));
    fs::path folder = platform.context().xdgConfigHome / "autostart";
    ASSERT_FALSE(fs::exists(folder));
    LoginItemController page(mainQueue);
    ASSERT_TRUE(page.allLoginItemsInfo.get().empty());
    auto shell = [&](const std::string& script, std::size_t items) {
        auto result = runProcess("/bin/sh", {"-c", script, "sh", folder.string()}, {});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(mainQueue.runUntil(
            [&page, items] { return page.allLoginItemsInfo.get().size() == items; },
            std::chrono::seconds(10)));
    };
    shell(
        "mkdir -p \"$1\" && printf '[Desktop Entry]\\nName=Outside\\nExec=/opt/x\\n' > "
        "\"$1/outside.desktop\"",
        1);
    EXPECT_EQ(names(page), std::vector<std::string>{"Outside"});
    shell("rm \"$1/outside.desktop\"", 0);
}

TEST(LoginItemAddition, ExaminesWhatEachFileWouldRunAndRefusesWhatCannotBeAdded) {
    TestPlatform platform;
    const TempDir& root = platform.root();
    fs::path document = root.write("docs/report.txt", "text\n");
    fs::path program = root.writeExecutable("bin/sync tool", "#!/bin/sh\n");
    fs::path application =
        root.write("apps/editor.desktop", "[Desktop Entry]\nType=Application\nExec=editor\n");
    fs::path link = root.write("apps/site.desktop", "[Desktop Entry]\nType=Link\nURL=x\n");
    fs::path folder = root / "docs";

    auto documentCandidate = LoginItemAddition::examine(document.string(), true);
    EXPECT_TRUE(documentCandidate.refusal.empty());
    EXPECT_EQ(documentCandidate.command, "xdg-open " + document.string());
    auto programCandidate = LoginItemAddition::examine(program.string(), true);
    EXPECT_EQ(programCandidate.command, "\"" + program.string() + "\"");
    auto applicationCandidate = LoginItemAddition::examine(application.string(), true);
    EXPECT_TRUE(applicationCandidate.applicationEntry);
    EXPECT_TRUE(applicationCandidate.command.empty());

    EXPECT_EQ(LoginItemAddition::examine(link.string(), true).refusal,
              "\"site.desktop\" does not describe an application.");
    EXPECT_EQ(LoginItemAddition::examine((root / "gone.txt").string(), true).refusal,
              "\"gone.txt\" does not exist.");
    // A folder can be chosen in the open panel (it opens at login) but is not taken from a drop.
    EXPECT_EQ(LoginItemAddition::examine(folder.string(), true).refusal, "\"docs\" is not a file.");
    EXPECT_TRUE(LoginItemAddition::examine(folder.string(), false).refusal.empty());
    fs::path control = root.write("docs/line\nbreak.txt", "x");
    EXPECT_NE(LoginItemAddition::examine(control.string(), true).refusal.find("cannot hold"),
              std::string::npos);
}

TEST(LoginItemAddition, AsksOnceForCommandsAddsNothingUnaskedAndReportsFailures) {
    TestPlatform platform;
    auto fake = FakeLoginItems::install();
    PlainMainQueue queue;
    LoginItemController controller(queue);
    ScriptedAsker asker;
    fs::path application =
        platform.root().write("apps/editor.desktop", "[Desktop Entry]\nType=Application\n");
    fs::path first = platform.root().write("docs/a.txt", "a");
    fs::path second = platform.root().write("docs/b.txt", "b");

    // An application entry alone is added without a question.
    EXPECT_EQ(LoginItemAddition::add({application.string()}, true, controller, asker), 1);
    EXPECT_TRUE(asker.questions.empty());

    asker.answer = false;
    EXPECT_EQ(LoginItemAddition::add({first.string(), second.string()}, true, controller, asker),
              0);
    EXPECT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(fake->added.size(), 1u);

    asker.answer = true;
    fake->addStatus = LoginItemStatus::ioFailure;
    EXPECT_EQ(LoginItemAddition::add({first.string(), (platform.root() / "none").string()}, true,
                                     controller, asker),
              0);
    ASSERT_EQ(asker.messages.size(), 1u);
    EXPECT_NE(asker.messageDetails[0].find("\"none\" does not exist."), std::string::npos);
    EXPECT_NE(asker.messageDetails[0].find("\"a.txt\" could not be added"), std::string::npos);
    FakeLoginItems::uninstall();
}
