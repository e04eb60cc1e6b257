// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/CleanSysController.h"
#include "core/events/Events.h"
#include "core/events/ParseFileLog.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunction.h"
#include "core/work/PlainMainQueue.h"
#include "support/ScriptedAsker.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The quick-clean window's model over the given category folders, with what it showed; the
// questions go to `otherAsker` when given.
struct QuickClean {
    explicit QuickClean(std::function<std::vector<CleanFolder>(int)> folders,
                        std::function<std::vector<int>()> categories = {},
                        Asker* otherAsker = nullptr)
        : controller({.folders = std::move(folders),
                      .categories = std::move(categories),
                      .asker = otherAsker ? otherAsker : &asker,
                      .mainQueue = &queue,
                      .deleteOptions = {.authorization = &noRights()}}) {
        controller.changed = [this] { ++changes; };
        controller.showBubble = [this](const std::vector<std::string>& lines, bool error) {
            bubbles.push_back(lines);
            bubbleErrors.push_back(error);
        };
    }
    bool runToClosing() {
        return queue.runUntil(
            [&] { return controller.phase() == CleanSysController::Phase::Closing; });
    }

    PlainMainQueue queue;
    ScriptedAsker asker;
    EventRecorder events{{Events::ShouldCloseWindow, Events::refMenuItemWhenDeleteAndAdd}};
    int changes = 0;
    std::vector<std::vector<std::string>> bubbles;
    std::vector<bool> bubbleErrors;
    CleanSysController controller;
};

std::vector<std::string> closingLines(std::uint64_t count, std::uint64_t bytes) {
    return {localizedString("CLEAN_FILES_COUNT") + " " + std::to_string(count),
            localizedString("CLEAN_FILES_SIZE") + " " + UtilityFunction::convertVolSpace(bytes)};
}

}  // namespace

TEST(QuickCleanWindow, NothingToCleanShowsTheBalloonAndNoWindowStays) {
    CleanFixture machine;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        // 2 (some items) does not enable a category: its folder would lose the unchecked items.
        PreferenceViewController::setCategoryClicked(id, id == 1 ? 2 : 0);
    }
    QuickClean clean([&](int id) { return machine.folders().cleanFolders(id); });
    EXPECT_FALSE(clean.controller.resetStatus());
    EXPECT_FALSE(clean.controller.windowVisible());
    EXPECT_EQ(clean.bubbles,
              std::vector<std::vector<std::string>>{{localizedString("NO_FOLDER_CONTENT")}});
    EXPECT_EQ(
        clean.events.names(),
        (std::vector<std::string>{Events::ShouldCloseWindow, Events::refMenuItemWhenDeleteAndAdd}));
    EXPECT_EQ(clean.changes, 0);
    EXPECT_TRUE(fs::exists(machine / "home/.cache/fontconfig/cache-1"));

    // An enabled category without a folder: the folders are looked for off the main thread,
    // then the same balloon closes the window.
    std::thread::id lookedOn;
    QuickClean empty(
        [&](int) {
            lookedOn = std::this_thread::get_id();
            return std::vector<CleanFolder>{};
        },
        [] { return std::vector<int>{CleanCategoryId::UserCaches}; });
    ASSERT_TRUE(empty.controller.resetStatus());
    ASSERT_TRUE(empty.queue.runUntil([&] { return !empty.bubbles.empty(); }));
    EXPECT_NE(lookedOn, std::this_thread::get_id());
    EXPECT_FALSE(empty.controller.windowVisible());
    EXPECT_EQ(empty.bubbles,
              std::vector<std::vector<std::string>>{{localizedString("NO_FOLDER_CONTENT")}});
}

// One question before anything goes, naming the categories and the total; with it turned off,
// Downloads is still asked about. Keeping Downloads cleans the others: the figures are what
// went and the history records it.
TEST(QuickCleanWindow, DownloadsIsEmptiedOnlyAfterAYes) {
    struct Case {
        bool confirm;
        bool answer;  // Downloads goes too
    } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (auto [confirm, answer] : cases) {
        CleanFixture machine;
        for (int id = 0; id < CleanCategoryId::Count; ++id) {
            PreferenceViewController::setCategoryClicked(
                id, id == CleanCategoryId::UserCaches || id == CleanCategoryId::UserDownloads);
        }
        UserDefaults::standardUserDefaults().setBool(confirm, SettingsKey::ConfirmClean);
        QuickClean clean([&](int id) { return machine.folders().cleanFolders(id); });
        clean.asker.answer = answer;
        if (confirm) clean.asker.nextChoices = {answer ? 0u : 1u};
        ASSERT_TRUE(clean.controller.resetStatus());
        EXPECT_EQ(clean.controller.statusText(), "Scanning system...");
        EXPECT_TRUE(clean.controller.progressIndeterminate());
        ASSERT_TRUE(clean.runToClosing());
        std::string asked = confirm
                                ? "Clean 2 categories (" + UtilityFunction::convertVolSpace(3102) +
                                      ")? What they hold is deleted for good."
                                : kDownloadsConfirmMessage;
        EXPECT_EQ(clean.asker.questions, std::vector<std::string>{asked});
        EXPECT_EQ(fs::exists(machine / "home/Downloads/setup.iso"), !answer);
        EXPECT_TRUE(fs::is_empty(machine / "home/.cache"));
        std::uint64_t freed = answer ? 3102 : 102;
        EXPECT_EQ(clean.controller.cleanedCount(), answer ? 4u : 3u);
        EXPECT_EQ(clean.controller.cleanedSize(), freed);
        EXPECT_EQ(clean.controller.progressVal(), 100.0);
        EXPECT_EQ(clean.bubbles,
                  std::vector<std::vector<std::string>>{closingLines(answer ? 4 : 3, freed)});
        EXPECT_TRUE(clean.controller.closesByItself());
        EXPECT_EQ(ParseFileLog().getSize(), freed);
        // The menu heard of the opening; the window closes only when asked.
        EXPECT_EQ(clean.events.names(),
                  std::vector<std::string>{Events::refMenuItemWhenDeleteAndAdd});
        clean.controller.close();
        EXPECT_EQ(clean.events.names().back(), Events::ShouldCloseWindow);
    }
}

// The window closed while the Downloads question was open: whatever the answer, nothing goes.
TEST(QuickCleanWindow, ClosingDuringTheDownloadsQuestionDeletesNothing) {
    struct ClosingAsker final : Asker {
        CleanSysController* controller = nullptr;
        bool askYesNo(const std::string&, const std::string&) override {
            controller->cancel();
            return false;
        }
        void tell(const std::string&, const std::string&) override {}
    };
    CleanFixture machine;
    ClosingAsker asker;
    QuickClean clean(
        [&](int id) { return machine.folders().cleanFolders(id); },
        [] {
            return std::vector<int>{CleanCategoryId::UserCaches, CleanCategoryId::UserDownloads};
        },
        &asker);
    asker.controller = &clean.controller;
    ASSERT_TRUE(clean.controller.resetStatus());
    ASSERT_TRUE(clean.runToClosing());
    EXPECT_EQ(clean.controller.cleanedCount(), 0u);
    EXPECT_EQ(clean.controller.statusText(), "Cleaning stopped.");
    EXPECT_TRUE(
        allExist(machine / "home/.cache/fontconfig/cache-1", machine / "home/Downloads/setup.iso"));
}

// Five entries of 1000 bytes in a shared sticky folder of the system caches; the two of 10 and
// 20 bytes are another user's, so an ordinary user cannot delete them. They are named with their
// reason and left out of the figures; the window's list offers the retry (here refused).
TEST(QuickCleanWindow, FailedItemsAreNamedWithTheirReasonAndLeftOutOfTheFigures) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    TestPlatform platform;
    const TempDir& dir = platform.root();
    fs::permissions(dir.path(), fs::perms::all);
    fs::path shared = dir / "shared";
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    std::vector<std::pair<std::string, std::size_t>> entries{
        {"a", 300}, {"b", 330}, {"c", 340}, {"theirs-10", 10}, {"theirs-20", 20}};
    for (const auto& [name, size] : entries) {
        fs::path file = dir.write("shared/" + name, std::string(size, 'x'));
        if (name.rfind("theirs", 0) != 0) {
            ASSERT_EQ(::chown(file.c_str(), kNobodyId, kNobodyId), 0);
        }
    }
    CleanFolder folder = everything(shared);
    folder.privilegedCategory = CleanCategoryId::SystemCaches;
    EXPECT_TRUE(asOrdinaryUser([&] {
        QuickClean clean([&](int) { return std::vector<CleanFolder>{folder}; },
                         [] { return std::vector<int>{CleanCategoryId::SystemCaches}; });
        if (!clean.controller.resetStatus() || !clean.runToClosing()) return false;
        std::vector<std::string> failed;
        for (const auto& failure : clean.controller.failures()) failed.push_back(failure.path);
        std::sort(failed.begin(), failed.end());
        auto lines = closingLines(3, 970);
        lines.push_back("2 items could not be deleted");
        bool ok = clean.controller.fileCount() == 5 && clean.controller.totalSize() == 1000 &&
                  clean.controller.cleanedCount() == 3 && clean.controller.cleanedSize() == 970 &&
                  failed == std::vector<std::string>{(shared / "theirs-10").string(),
                                                     (shared / "theirs-20").string()} &&
                  clean.bubbles == std::vector<std::vector<std::string>>{lines} &&
                  clean.bubbleErrors == std::vector<bool>{true} &&
                  !clean.controller.closesByItself();
        clean.controller.showFailures();
        // Without rights to give, the retry ends where it started, and says so.
        if (!clean.runToClosing()) return false;
        std::string reasoned = (shared / "theirs-20").string() + " (permission denied)";
        return ok &&
               clean.asker.questions ==
                   std::vector<std::string>{"Some items could not be deleted."} &&
               clean.asker.questionDetails[0].find(reasoned) != std::string::npos &&
               clean.asker.questionButtons[0][0] == "Retry with Administrator Rights" &&
               clean.asker.messages ==
                   std::vector<std::string>{
                       "Administrator rights were not given: these items stay."} &&
               clean.controller.statusText() == "Cleaning finished.";
    }));
    EXPECT_TRUE(fs::exists(shared / "theirs-10"));
    EXPECT_FALSE(fs::exists(shared / "a"));
}

// A cancel in the middle of the deletion ends it early and reports what really went; a window
// destroyed while its worker runs hears nothing afterwards.
TEST(QuickCleanWindow, CancelHalfWayReportsWhatWentAndNothingArrivesLate) {
    constexpr int kFiles = 2000;
    TestPlatform platform;  // the history record goes to its home
    const TempDir& dir = platform.root();
    for (int i = 0; i < kFiles; ++i) dir.write("cache/" + std::to_string(i), "xx");
    auto folders = [&](int) { return std::vector<CleanFolder>{everything(dir / "cache")}; };
    auto one = [] { return std::vector<int>{CleanCategoryId::UserCaches}; };
    {
        QuickClean clean(folders, one);
        clean.controller.changed = [&] {
            // The first item deleted (the scan showed the folder).
            if (clean.controller.phase() == CleanSysController::Phase::Deleting &&
                clean.controller.curDeleteFile().rfind((dir / "cache/").string(), 0) == 0) {
                clean.controller.cancel();
            }
        };
        ASSERT_TRUE(clean.controller.resetStatus());
        ASSERT_TRUE(clean.runToClosing());
        auto left = static_cast<std::uint64_t>(
            std::distance(fs::directory_iterator(dir / "cache"), fs::directory_iterator()));
        EXPECT_LT(left, static_cast<std::uint64_t>(kFiles));
        if (left > 0) {
            EXPECT_EQ(clean.controller.statusText(), "Cleaning stopped.");
        }
        EXPECT_EQ(clean.controller.fileCount(), static_cast<std::uint64_t>(kFiles));
        EXPECT_EQ(clean.controller.cleanedCount(), kFiles - left);
        EXPECT_EQ(clean.controller.cleanedSize(), 2 * (kFiles - left));
        EXPECT_EQ(clean.bubbles.back(), closingLines(kFiles - left, 2 * (kFiles - left)));
        EXPECT_EQ(ParseFileLog().getSize(), 2 * (kFiles - left));
    }
    for (int i = 0; i < kFiles; ++i) dir.write("cache/" + std::to_string(i), "xx");
    int lateChanges = 0;
    {
        PlainMainQueue queue;
        {
            CleanSysController controller({.folders = folders,
                                           .categories = one,
                                           .mainQueue = &queue,
                                           .deleteOptions = {.authorization = &noRights()}});
            ASSERT_TRUE(controller.resetStatus());
            controller.changed = [&] { ++lateChanges; };
        }
        queue.drain();
    }
    EXPECT_EQ(lateChanges, 0);
}
