// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/JournalTrimItem.h"
#include "clean/SystemCleanModel.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/ParseFileLog.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunction.h"
#include "core/work/PlainMainQueue.h"
#include "support/ScriptedAsker.h"
#include "support/ScriptedHelper.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The page over the fixture machine, with every category setting given.
class CleanPage {
  public:
    explicit CleanPage(std::array<int, 6> settings = {}) {
        for (int id = 0; id < CleanCategoryId::Count; ++id) {
            PreferenceViewController::setCategoryClicked(id, settings[id]);
        }
    }

    void scan() {
        model.scan();
        ASSERT_TRUE(queue.runUntil([&] { return !model.isScanning(); }));
    }
    // Cleans from the selected row and lets the alert that follows come up.
    void clean() {
        model.clean();
        ASSERT_TRUE(queue.runUntil([&] { return !model.isCleaning(); }));
        queue.drain();
    }
    std::vector<std::string> checkedNames(int category) {
        std::vector<std::string> names;
        for (const auto& record : model.list(category).scanFiles.get()) {
            if (record.bIsSelected) names.push_back(record.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    int rowOf(int category, const std::string& name) {
        auto records = model.list(category).scanFiles.get();
        for (std::size_t row = 0; row < records.size(); ++row) {
            if (records[row].name == name) return static_cast<int>(row);
        }
        return -1;
    }

    CleanFixture machine;
    PlainMainQueue queue;
    ScriptedAsker asker;
    ScriptedSession helper{"ok"};
    PrivilegedAuthorization rights{std::make_shared<ScriptedLauncher>(&helper)};
    SystemCleanModel model{
        {.folders = [this](int id) { return machine.folders().cleanFolders(id); },
         .asker = &asker,
         .mainQueue = &queue,
         .authorization = &rights}};
};

// journalctl's figure for the whole journal, as the test sets it.
struct FixedJournal : SystemJournal {
    std::optional<std::uint64_t> diskUsage() override { return usage; }
    std::uint64_t usage = 0;
};

constexpr std::uint64_t kJournalLimit = 200000000;

// The page of `page`'s machine whose System Logs also offer trimming `journal` to 200 MB.
SystemCleanModel::Options withJournal(CleanPage& page, std::shared_ptr<SystemJournal> journal) {
    return {
        .folders = [&page](int id) { return page.machine.folders().cleanFolders(id); },
        .toolItems =
            [journal](int id) {
                if (id != CleanCategoryId::SystemLogs) return CleanToolSources{};
                return CleanToolSources{std::make_shared<JournalTrimItem>(journal, kJournalLimit)};
            },
        .asker = &page.asker,
        .mainQueue = &page.queue,
        .authorization = &page.rights};
}

}  // namespace

TEST(SystemCleanPage, WithEverySettingOffAScanChecksNothingUntilAPreferenceSwitchSaysSo) {
    CleanPage page;
    EXPECT_EQ(page.model.summaryText(),
              "0 of 0 selected, " + UtilityFunction::convertVolSpace(0) + " will free up.");
    EXPECT_FALSE(page.model.canClean());
    EXPECT_EQ(page.model.progressImageName(1), "0_progress_bar.png");
    // Nothing measured yet is not a zero.
    EXPECT_EQ(page.model.rowSizeText(0), "not scanned");
    EXPECT_EQ(page.model.rowSizeText(1), "not scanned");

    page.scan();
    // Every category, the system's too, as `quillby clean scan` lists them.
    for (int id = 0; id < 6; ++id) EXPECT_FALSE(page.model.list(id).scanFiles.get().empty()) << id;
    EXPECT_EQ(page.model.summaryText(),
              "0 of 18 selected, " + UtilityFunction::convertVolSpace(0) + " will free up.");
    EXPECT_FALSE(page.model.canClean());
    EXPECT_EQ(page.model.progressImageName(1), "100_progress_bar.png");
    // The overview row sums the categories: 1100 + 102 + 150 + 200 + 4100 + 3000 bytes.
    EXPECT_EQ(page.model.rowBytes(0), 8652u);
    EXPECT_EQ(page.model.rowSizeText(1), UtilityFunction::convertVolSpace(1100));
    EXPECT_EQ(page.model.rowSizeText(6), UtilityFunction::convertVolSpace(3000));

    // The preference switches and both forms of the selection event are followed.
    auto& bus = EventBus::defaultCenter();
    std::vector<std::string> listForm;
    auto seen = bus.observe(Events::updateSelectNumber, [&](const Event& event) {
        if (auto* texts = std::any_cast<std::vector<std::string>>(&event.object)) listForm = *texts;
    });
    // A category switch of the preferences: "flag" false shows the row checked.
    bus.post(Events::changeCheckBox, {}, {{EventKeys::tag, 2}, {EventKeys::flag, false}});
    EXPECT_EQ(page.checkedNames(1), (std::vector<std::string>{".hidden", "fontconfig"}));
    EXPECT_EQ(listForm, (std::vector<std::string>{"0", "1", "0", "0", "0", "0"}));
    bus.post(Events::changeCheckBox, {}, {{EventKeys::tag, 2}, {EventKeys::flag, true}});
    EXPECT_TRUE(page.checkedNames(1).empty());
    // Neither form, or a row that does not exist, changes nothing and fails nowhere.
    bus.post(Events::updateSelectNumber, 7);
    bus.post(Events::updateSelectNumber, UserInfo{{EventKeys::rowNum, 9}});
    bus.post(Events::changeCheckBox, {}, {{EventKeys::tag, 0}, {EventKeys::flag, false}});
    EXPECT_EQ(page.model.checkedCount(), 0);
}

TEST(SystemCleanPage, APartialSelectionSurvivesTheNextScan) {
    CleanPage page({0, 1, 0, 0, 0, 0});
    page.scan();
    EXPECT_EQ(page.checkedNames(1), (std::vector<std::string>{".hidden", "fontconfig"}));
    EXPECT_TRUE(page.model.toggleItem(1, page.rowOf(1, ".hidden")));
    EXPECT_EQ(page.model.categoryState(1), 2);
    EXPECT_EQ(page.model.summaryText(),
              "1 of 18 selected, " + UtilityFunction::convertVolSpace(100) + " will free up.");

    page.machine.platform.root().write("home/.cache/new-app/blob", "new");
    page.scan();
    // What was left unchecked stays so, and what is new is not checked behind the user's back.
    EXPECT_EQ(page.checkedNames(1), (std::vector<std::string>{"fontconfig"}));
    EXPECT_EQ(page.model.list(1).scanFiles.get().size(), 3u);
    EXPECT_EQ(page.model.categoryState(1), 2);
    // A restart cannot know which items "some" named: the row reads, and is stored, as off.
    {
        SystemCleanModel restarted(
            {.folders = [&](int id) { return page.machine.folders().cleanFolders(id); },
             .asker = &page.asker,
             .mainQueue = &page.queue});
        EXPECT_EQ(restarted.categoryState(1), 0);
        EXPECT_EQ(PreferenceViewController::categoryClicked(1), 0);
    }

    // The row's check box takes the whole category; while a scan runs nothing can be clicked.
    EXPECT_TRUE(page.model.clickCategoryCheckBox(1));
    EXPECT_EQ(page.checkedNames(1).size(), 3u);
    page.model.scan();
    EXPECT_TRUE(page.model.categoryBusy(1));
    EXPECT_FALSE(page.model.toggleItem(1, 0));
    EXPECT_FALSE(page.model.setAllItems(1, false));
    EXPECT_FALSE(page.model.clickCategoryCheckBox(1));
    ASSERT_TRUE(page.queue.runUntil([&] { return !page.model.isScanning(); }));
    EXPECT_FALSE(page.model.categoryBusy(1));
}

// Asked before it deletes (the preference's default): one question names each category with
// its size, Downloads' words folded in; "Don't ask again" turns it off for the next clean.
// Cleaning without Downloads unchecks it; the figures are exact bytes of what went.
TEST(SystemCleanPage, CleanAsksOnceNamingEachCategoryAndRecordsWhatWent) {
    CleanPage page({0, 1, 0, 0, 0, 1});
    UserDefaults::standardUserDefaults().setBool(true, SettingsKey::ConfirmClean);
    page.scan();
    EXPECT_TRUE(page.model.canClean());
    page.asker.nextChoices = {2};  // Cancel
    page.clean();
    ASSERT_EQ(page.asker.questions.size(), 1u);
    EXPECT_EQ(page.asker.questions[0], "Clean 2 categories (" +
                                           UtilityFunction::convertVolSpace(3102) +
                                           ")? What they hold is deleted for good.");
    EXPECT_EQ(page.asker.questionDetails[0],
              "User Caches: " + UtilityFunction::convertVolSpace(102) +
                  "\nUser Downloads: " + UtilityFunction::convertVolSpace(3000) + "\n\n" +
                  kDownloadsConfirmMessage + " " + kDownloadsConfirmExplanation);
    EXPECT_EQ(page.asker.questionButtons[0],
              (std::vector<std::string>{"Clean", "Clean Without Downloads", "Cancel"}));
    EXPECT_EQ(page.asker.checkBoxes, std::vector<std::string>{"Don't ask again"});
    EXPECT_TRUE(fs::exists(page.machine / "home/.cache/fontconfig"));

    page.asker.nextChoices = {1};
    page.asker.tickCheckBox = true;
    page.clean();
    EXPECT_TRUE(
        noneExist(page.machine / "home/.cache/fontconfig", page.machine / "home/.cache/.hidden"));
    EXPECT_TRUE(fs::exists(page.machine / "home/Downloads/setup.iso"));
    EXPECT_TRUE(page.checkedNames(5).empty());
    EXPECT_FALSE(UserDefaults::standardUserDefaults().boolForKey(SettingsKey::ConfirmClean));

    // Exact bytes in the status line and the history record; the rows show what is left.
    EXPECT_EQ(page.model.cleanedBytes(1), 102u);
    EXPECT_EQ(page.model.rowSizeText(2), UtilityFunction::convertVolSpace(0));
    EXPECT_EQ(page.model.rowSizeText(6), UtilityFunction::convertVolSpace(3000));
    EXPECT_EQ(page.model.rowBytes(0), 8652u - 102);
    EXPECT_EQ(page.model.statusText(), UtilityFunction::convertVolSpace(102) + " is cleaned");
    EXPECT_EQ(ParseFileLog().getSize(), 102u);
    EXPECT_TRUE(page.asker.messages.empty());
    EXPECT_EQ(page.model.subPage(), SystemCleanModel::ResultsPage);
    EXPECT_EQ(page.model.progressImageName(1), "100_progress_bar.png");
    page.model.back();
    EXPECT_EQ(page.model.subPage(), SystemCleanModel::MainPage);
}

TEST(SystemCleanPage, OneCategoryCleanAsksForDownloadsWithOkAndCancel) {
    CleanPage page({0, 1, 0, 0, 0, 1});
    // With the question turned off, Downloads is still never emptied unasked.
    UserDefaults::standardUserDefaults().setBool(false, SettingsKey::ConfirmClean);
    page.scan();
    page.model.selectRow(6);
    page.asker.answer = false;
    page.clean();
    ASSERT_EQ(page.asker.questionButtons.size(), 1u);
    EXPECT_EQ(page.asker.questionButtons[0], (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_TRUE(fs::exists(page.machine / "home/Downloads/setup.iso"));
    EXPECT_TRUE(page.model.isCleanFinshed());

    page.asker.answer = true;
    page.clean();
    EXPECT_FALSE(fs::exists(page.machine / "home/Downloads/setup.iso"));
    // Only the selected category went.
    EXPECT_TRUE(fs::exists(page.machine / "home/.cache/fontconfig"));
    EXPECT_EQ(page.model.statusText(), UtilityFunction::convertVolSpace(3000) + " is cleaned");
    EXPECT_EQ(ParseFileLog().getSize(), 3000u);
}

TEST(SystemCleanPage, ARowWhoseItemsAllFailShowsNothingCleanedAndEveryReason) {
    CleanPage page({0, 0, 0, 1, 0, 0});
    page.scan();
    EXPECT_TRUE(page.model.toggleItem(3, page.rowOf(3, "logs")));
    // Between the scan and the clean every checked log became something the rule keeps.
    for (const char* item : {"home/.local/state/app/x.log", "home/.local/state/app/x.log.1",
                             "home/.xsession-errors.old"}) {
        fs::remove_all(page.machine / item);
        fs::create_directories(page.machine / item / "kept");
    }
    page.clean();
    EXPECT_EQ(page.model.cleanedBytes(3), 0u);
    EXPECT_EQ(page.model.statusText(), UtilityFunction::convertVolSpace(0) + " is cleaned");
    EXPECT_EQ(page.model.failures().size(), 3u);
    ASSERT_EQ(page.asker.messages.size(), 1u);
    EXPECT_EQ(page.asker.messages[0], "Some items could not be removed.");
    const std::string& report = page.asker.messageDetails[0];
    EXPECT_EQ(report.rfind("User Logs:\n", 0), 0u) << report;
    EXPECT_TRUE(holdsAll(
        report, (page.machine / "home/.xsession-errors.old").string() + " (no longer cleanable)"));
    EXPECT_EQ(ParseFileLog().getSize(), 0u);  // recorded: this clean freed nothing
}

TEST(SystemCleanPage, StopEndsAScanOrACleanOnceAndSaysSo) {
    CleanPage page;
    for (int i = 0; i < 1500; ++i) {
        page.machine.platform.root().write("home/.cache/many/" + std::to_string(i), "x");
        page.machine.platform.root().write("home/.cache/item-" + std::to_string(i), "x");
    }
    page.model.scan();
    EXPECT_TRUE(page.model.canStop());
    page.model.scan();  // the scan button acts as stop while a scan runs
    EXPECT_FALSE(page.model.canStop());
    EXPECT_EQ(page.model.statusText(), "Stopping...");
    ASSERT_TRUE(page.queue.runUntil([&] { return !page.model.isScanning(); }));
    EXPECT_LT(page.model.list(1).scanFiles.get().size(), 1502u);
    EXPECT_EQ(page.model.statusText(), "Scan stopped.");
    EXPECT_NE(page.model.rowSizeText(2).find(", scan stopped"), std::string::npos);
    page.scan();

    // A clean stopped after its first item leaves the rest listed and checked, and says so.
    UserDefaults::standardUserDefaults().setBool(false, SettingsKey::ConfirmClean);
    page.model.setAllItems(1, true);
    page.model.selectRow(2);
    auto stopping = page.model.list(1).filesSize.observe(
        [&](const std::string&) { page.model.list(1).requestStop(); });
    page.clean();
    EXPECT_EQ(page.checkedNames(1).size(), 1502u);
    std::string freed = UtilityFunction::convertVolSpace(page.model.cleanedBytes(1));
    EXPECT_EQ(page.model.statusText(), freed + " is cleaned. Stopped before 1502 items.");
}

// System logs the user may not delete: the alert names the reason and offers the retry, which
// hands each item to the helper through its category's request.
TEST(SystemCleanPage, APermissionFailureOffersARetryThroughTheHelper) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    CleanPage page({0, 0, 1, 0, 0, 0});
    fs::permissions(page.machine.platform.root().path(), fs::perms::all);
    UserDefaults::standardUserDefaults().setBool(false, SettingsKey::ConfirmClean);
    EXPECT_TRUE(asOrdinaryUser([&] {
        page.scan();
        page.model.selectRow(CleanCategoryId::SystemLogs + 1);
        page.clean();  // the alert, and the retry taken
        return page.queue.runUntil([&] { return !page.model.isCleaning(); }) &&
               page.asker.questions ==
                   std::vector<std::string>{
                       "Some files that require admin access can't be removed!"} &&
               page.asker.questionDetails[0].find("syslog.1 (permission denied)\n") !=
                   std::string::npos &&
               page.helper.requests.size() == 6 &&  // the ping, then each log
               page.helper.requests[1].rfind("clean-system-logs /", 0) == 0 &&
               page.model.failures().empty() && page.model.isUnlocked();
    }));
}

// A package tool's item sits in its category's row like a file; the journal's needs the helper,
// so the clean leaves it for the retry with rights, which trims it.
TEST(SystemCleanPage, TheJournalItemIsInTheSystemLogsRowAndTrimmedAfterTheRetry) {
    auto journal = std::make_shared<FixedJournal>();
    journal->usage = 500000000;
    CleanPage page({0, 0, 1, 0, 0, 0});
    UserDefaults::standardUserDefaults().setBool(false, SettingsKey::ConfirmClean);
    SystemCleanModel model(withJournal(page, journal));
    model.scan();
    ASSERT_TRUE(page.queue.runUntil([&] { return !model.isScanning(); }));
    model.selectRow(CleanCategoryId::SystemLogs + 1);
    model.clean();
    journal->usage = kJournalLimit;  // what journalctl leaves once the helper trimmed it
    ASSERT_TRUE(page.queue.runUntil([&] { return !model.isCleaning(); }));
    page.queue.drain();
    ASSERT_TRUE(page.queue.runUntil([&] { return !model.isCleaning(); }));
    EXPECT_EQ(page.asker.questions,
              std::vector<std::string>{"Some files that require admin access can't be removed!"});
    EXPECT_NE(page.asker.questionDetails[0].find("System journal above 200 MB"), std::string::npos);
    EXPECT_EQ(page.helper.requests.back(), "vacuum-journal 200000000");
    EXPECT_TRUE(model.failures().empty());
    EXPECT_TRUE(model.list(CleanCategoryId::SystemLogs).scanFiles.get().empty());
}

// The trim removes archived journal files, which the System Logs folders list too: with every
// item ticked, "will free" counts each byte once, and the archived file stays listed whatever
// the journal's size.
TEST(SystemCleanPage, TheJournalTrimLeavesOutTheArchivedJournalListedAsAFile) {
    // The fixture's System Logs: 100 bytes of rotated logs and a 50-byte archived journal.
    constexpr std::uint64_t kFiles = 150;
    struct Case {
        std::uint64_t aboveLimit;  // the journal's bytes above the limit
        std::uint64_t trimBytes;   // the trim item's size; 0: not offered
    };
    for (auto [aboveLimit, trimBytes] : {Case{300, 250}, Case{51, 1}, Case{50, 0}, Case{20, 0}}) {
        SCOPED_TRACE(aboveLimit);
        auto journal = std::make_shared<FixedJournal>();
        journal->usage = kJournalLimit + aboveLimit;
        CleanPage page({0, 0, 1, 0, 0, 0});
        SystemCleanModel model(withJournal(page, journal));
        model.scan();
        ASSERT_TRUE(page.queue.runUntil([&] { return !model.isScanning(); }));
        auto records = model.list(CleanCategoryId::SystemLogs).scanFiles.get();
        bool archivedListed = std::any_of(records.begin(), records.end(), [](const auto& record) {
            return record.name == "system@0001-0002.journal";
        });
        EXPECT_TRUE(archivedListed);
        std::uint64_t trimListed = records.back().toolIndex >= 0 ? records.back().fileSizeNum : 0;
        EXPECT_EQ(trimListed, trimBytes);
        if (trimBytes > 0) {
            EXPECT_EQ(records.back().description,
                      "oldest archived systemd journal files besides 1 listed as a file; the "
                      "active journal stays");
        }
        EXPECT_EQ(model.checkedCount(), static_cast<int>(records.size()));
        EXPECT_EQ(model.checkedBytes(), kFiles + trimBytes);
    }
}
