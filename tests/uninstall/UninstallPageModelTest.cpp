// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PlainMainQueue.h"
#include "core/work/PrivilegedAuthorization.h"
#include "uninstall/UninstallFixtures.h"
#include "uninstall/UninstallPageModel.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The page's logic over the page machine.
struct PageLogic : UninstallPageMachine {
    PlainMainQueue queue;  // gets the workers' completions
    std::unique_ptr<UninstallAppsController> controller =
        std::make_unique<UninstallAppsController>(UninstallAppsController::Options{
            .backends = machine.backends, .mainQueue = &queue, .searchStarted = &searchStarted});
    std::unique_ptr<UninstallPageModel> model =
        std::make_unique<UninstallPageModel>(*controller, rights);

    bool waitUntilQuiet() {
        return queue.runUntil(
            [&] { return !controller->searching.get() && !controller->removingNow.get(); },
            std::chrono::seconds(30));
    }
    void mark(const std::string& name) {
        auto shown = controller->allApplications.get();
        for (std::size_t row = 0; row < shown.size(); ++row) {
            if (shown[row].name == name)
                controller->setObjectValueForCheckBox(static_cast<int>(row));
        }
    }
    const AppItems* record(const std::string& name) const {
        for (const auto& app : controller->searchAllAppArr()) {
            if (app.name == name) return &app;
        }
        return nullptr;
    }
};

}  // namespace

TEST(UninstallPageModel, DiscoveryStartsWithItsRowAndGroupsWaitForIt) {
    PageLogic page;
    EXPECT_FALSE(page.model->chooseGroup(1));  // nothing found yet: the click does nothing
    EXPECT_EQ(page.controller->nowSelectRow, 0);
    page.model->featureRowBecameCurrent(9);
    EXPECT_FALSE(page.searchStarted);
    page.model->featureRowBecameCurrent(UninstallPageModel::featureRow);
    EXPECT_TRUE(page.controller->searching.get());
    ASSERT_TRUE(page.waitUntilQuiet());
    EXPECT_EQ(page.controller->allApplications.get().size(), 4u);

    EXPECT_TRUE(page.model->chooseGroup(2));
    EXPECT_FALSE(page.model->chooseGroup(2));  // already on show
    EXPECT_FALSE(page.model->chooseGroup(3));
    EXPECT_EQ(page.controller->nowSelectRow, 2);

    EXPECT_FALSE(page.model->sortByColumn(UninstallPageModel::CheckColumn, true));
    EXPECT_FALSE(page.model->sortByColumn(UninstallPageModel::ViewColumn, true));
    EXPECT_TRUE(page.model->sortByColumn(UninstallPageModel::NameColumn, false));
    std::vector<std::string> names;
    for (const auto& app : page.controller->allApplications.get()) names.push_back(app.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Quillby Pro", "Paint", "Notes"}));

    // Applications installed later appear after "Refresh".
    page.machine.writeEntry(page.machine.userApplications() / "org.example.Draw.desktop", "Draw");
    page.model->refresh();
    ASSERT_TRUE(page.waitUntilQuiet());
    EXPECT_TRUE(page.record("Draw"));
}

TEST(UninstallPageModel, ThePlanListsEveryPackageAndPathWithSizesAndWhatGoesToTheTrash) {
    PageLogic page;
    page.model->featureRowBecameCurrent(UninstallPageModel::featureRow);
    ASSERT_TRUE(page.waitUntilQuiet());
    EXPECT_FALSE(page.model->confirmation());  // nothing marked
    page.mark("Vim");
    page.mark("Notes");
    page.mark("Quillby Pro");

    auto confirmation = page.model->confirmation();
    ASSERT_TRUE(confirmation);
    EXPECT_EQ(confirmation->question.message, "Uninstall Applications");
    EXPECT_EQ(confirmation->question.informativeText,
              "System application(s),Do you want to uninstall it?");
    UninstallPlanSheet sheet = UninstallPlanSheet::measure(
        page.model->planner(), confirmation->apps, confirmation->question);
    ASSERT_EQ(sheet.apps.size(), 3u);
    const PlannedApp& vim = sheet.apps[0];  // system folders are listed first
    EXPECT_EQ(vim.name, "Vim");
    ASSERT_EQ(vim.steps.size(), 1u);
    EXPECT_EQ(vim.steps[0].line(), "remove package vim and the files it installed");

    auto notes = std::find_if(sheet.apps.begin(), sheet.apps.end(),
                              [](const PlannedApp& app) { return app.name == "Notes"; });
    ASSERT_NE(notes, sheet.apps.end());
    EXPECT_EQ(notes->identifier, "org.example.Notes");
    std::vector<std::string> lines;
    for (const auto& step : notes->steps) lines.push_back(step.line());
    std::string settings = page.notesSettings.parent_path().string();
    std::string cache = page.notesCache.parent_path().string();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "move " + settings + " (1.50 KB) to the trash"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "remove " + cache + " (0.30 KB)"), lines.end());
    // The entry itself goes last.
    EXPECT_EQ(notes->steps.back().text, page.notes.string());
    EXPECT_FALSE(notes->steps.back().toTrash);

    auto own = std::find_if(sheet.apps.begin(), sheet.apps.end(),
                            [](const PlannedApp& app) { return app.isOwnApplication; });
    ASSERT_NE(own, sheet.apps.end());
    EXPECT_TRUE(own->steps.empty());
    EXPECT_EQ(sheet.bytesToTrash, 1500u);
    EXPECT_EQ(sheet.bytesDeleted, 300u + fs::file_size(page.notes));
    EXPECT_EQ(sheet.summary().substr(0, 9), "Deleted: ");
    // Measuring removed nothing.
    EXPECT_TRUE(allExist(page.notesSettings, page.notes));
}

TEST(UninstallPageModel, ThePlanLeavesWhatAnotherFoundApplicationClaims) {
    PageLogic page;
    const PlatformContext& context = page.machine.context();
    page.machine.writeEntry(page.machine.userApplications() / "google-chrome.desktop", "Chrome");
    page.machine.writeEntry(page.machine.userApplications() / "google-chrome-beta.desktop", "Beta");
    fs::path settings = page.machine.writeFile(context.xdgConfigHome / "google-chrome/x");
    page.machine.writeFile(context.xdgConfigHome / "google-chrome-beta/x");
    page.model->featureRowBecameCurrent(UninstallPageModel::featureRow);
    ASSERT_TRUE(page.waitUntilQuiet());
    page.mark("Chrome");
    auto confirmation = page.model->confirmation();
    ASSERT_TRUE(confirmation);
    UninstallPlanSheet sheet = UninstallPlanSheet::measure(
        page.model->planner(), confirmation->apps, confirmation->question);
    ASSERT_EQ(sheet.apps.size(), 1u);
    std::vector<std::string> paths;
    for (const auto& step : sheet.apps[0].steps) paths.push_back(step.text);
    EXPECT_EQ(paths, (std::vector<std::string>{
                         settings.parent_path().string(),
                         (page.machine.userApplications() / "google-chrome.desktop").string()}));
}

TEST(UninstallPageModel, RightsAreAskedByNeedAndARefusalRemovesNothing) {
    PageLogic page;
    page.machine.packageKit->running = false;  // the package then goes through the helper
    page.model->featureRowBecameCurrent(UninstallPageModel::featureRow);
    ASSERT_TRUE(page.waitUntilQuiet());
    page.mark("Vim");
    EXPECT_EQ(page.model->confirmationAnswered(false), UninstallPageModel::Next::Nothing);
    EXPECT_EQ(page.model->confirmationAnswered(true), UninstallPageModel::Next::AskRights);
    EXPECT_FALSE(page.controller->removingNow.get());
    EXPECT_EQ(page.launcher->launches, 0);  // the page asks, off the main thread

    EXPECT_FALSE(page.model->rightsAnswered(false));
    UninstallStatusLine refused = page.controller->statusLine.get();
    EXPECT_TRUE(refused.visible);
    EXPECT_TRUE(holdsAll(refused.text, "Administrator rights were not given"));
    ASSERT_TRUE(page.record("Vim"));
    EXPECT_TRUE(page.record("Vim")->bIsSelected);
    EXPECT_TRUE(fs::exists(page.vim));
    EXPECT_FALSE(AdministratorRightsFlag::isSet());

    // The lock asks only while no rights are held.
    EXPECT_TRUE(page.model->lockClicked());
    page.model->lockRightsAnswered(false);
    EXPECT_TRUE(page.model->lockClicked());
    page.model->lockRightsAnswered(true);
    EXPECT_FALSE(page.model->lockClicked());
    EXPECT_TRUE(page.controller->lockOn.get());
    // With the rights held, the page removes at once.
    EXPECT_EQ(page.model->confirmationAnswered(true), UninstallPageModel::Next::Remove);
    EXPECT_EQ(UninstallPageModel::progressText({.done = 1, .total = 3, .currentPath = "Vim"}),
              "Removing Vim (2 of 3)...");
    EXPECT_EQ(UninstallPageModel::progressText({.done = 3, .total = 3, .currentPath = "Vim"}),
              "Removing Vim (3 of 3)...");
}

TEST(UninstallPageModel, AFailedRecordShowsWhyInsteadOfItsVersion) {
    AppItems app;
    app.name = "Vim";
    app.bundleVersion = "9.0";
    app.bundleID = "vim";
    EXPECT_EQ(UninstallPageModel::secondaryText(app), "9.0");
    app.failureReason = "package vim: refused";
    EXPECT_EQ(UninstallPageModel::secondaryText(app), "Not removed: package vim: refused");
    EXPECT_EQ(UninstallPageModel::identifierText(app), "vim");
    EXPECT_EQ(UninstallPageModel::detailsName(app), "Details of Vim");
}
