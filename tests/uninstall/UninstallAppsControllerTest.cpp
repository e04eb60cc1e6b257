// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/text/UtilityFunction.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PlainMainQueue.h"
#include "core/work/PrivilegedAuthorization.h"
#include "uninstall/AppDetails.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/UninstallFixtures.h"
#include "uninstall/UninstallPageModel.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The page's controller and its logic over the page machine, the search not yet begun.
struct Page : UninstallPageMachine {
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
    void search() {
        controller->beginSearchApps();
        ASSERT_TRUE(waitUntilQuiet());
    }
    // The removal as the page runs it once allowed, and the discovery after it.
    void remove() {
        controller->uninstallActionfromBottomButton();
        controller->refreshApps();
        ASSERT_TRUE(waitUntilQuiet());
    }
    std::vector<std::string> shownNames() const {
        std::vector<std::string> names;
        for (const auto& app : controller->allApplications.get()) names.push_back(app.name);
        return names;
    }
    // The names on show, sorted: a folder lists its entries in no fixed order.
    std::vector<std::string> shownNameSet() const {
        auto names = shownNames();
        std::sort(names.begin(), names.end());
        return names;
    }
    int rowOf(const std::string& name) const {
        auto shown = controller->allApplications.get();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i].name == name) return static_cast<int>(i);
        }
        return -1;
    }
    void mark(const std::string& name) { controller->setObjectValueForCheckBox(rowOf(name)); }
    const AppItems* record(const std::string& name) const {
        for (const auto& app : controller->searchAllAppArr()) {
            if (app.name == name) return &app;
        }
        return nullptr;
    }
    static void showGroup(int row) {
        EventBus::defaultCenter().post(
            Events::changeSelectCell, {},
            {{EventKeys::UninstallRowNumber, row}, {EventKeys::PathName, std::string(" ")}});
    }
};

}  // namespace

TEST(UninstallAppsController, SearchesOnceAndFiltersGroupsKeepingMarks) {
    Page page;
    Page::showGroup(1);  // before the search: ignored
    EXPECT_EQ(page.controller->nowSelectRow, 0);

    page.search();
    EXPECT_TRUE(page.controller->isScaned);
    EXPECT_FALSE(page.controller->searching.get());
    // System folders come first.
    EXPECT_EQ(page.shownNames().front(), "Vim");
    EXPECT_EQ(page.shownNameSet(),
              (std::vector<std::string>{"Notes", "Paint", "Quillby Pro", "Vim"}));
    page.controller->beginSearchApps();  // once per run
    EXPECT_TRUE(page.controller->searchFinished.get());

    page.controller->setObjectValueForCheckBox(page.rowOf("Notes"));
    page.controller->selectRowAt(2);
    Page::showGroup(1);
    EXPECT_EQ(page.controller->nowSelectRow, 1);
    EXPECT_EQ(page.controller->selectRow, 0);
    EXPECT_EQ(page.shownNames(), (std::vector<std::string>{"Vim"}));
    EXPECT_EQ(page.controller->groupRowImage(1), "list_hover.png");
    EXPECT_EQ(page.controller->groupRowImage(0), "list_1.png");
    EXPECT_EQ(page.controller->statusLine.get().text, "0 of 1 selected.");
    EXPECT_FALSE(page.controller->uninstallEnabled.get());

    Page::showGroup(2);
    EXPECT_EQ(page.shownNameSet(), (std::vector<std::string>{"Notes", "Paint", "Quillby Pro"}));
    EXPECT_EQ(page.controller->statusLine.get().text, "1 of 3 selected.");
    EXPECT_TRUE(page.controller->uninstallEnabled.get());
    Page::showGroup(7);  // no such group
    EXPECT_EQ(page.controller->nowSelectRow, 2);
}

TEST(UninstallAppsController, CountsMarksSelectsAllAndConfirmationNamesSystemApplications) {
    Page page;
    page.search();
    auto& controller = *page.controller;
    controller.uninstallShowSelectNumInBottom(false);
    UninstallStatusLine line = controller.statusLine.get();
    EXPECT_TRUE(line.visible);
    EXPECT_EQ(line.text, "0 of 4 selected.");
    EXPECT_EQ(line.selected, 0);
    EXPECT_EQ(line.total, 4);
    EXPECT_FALSE(controller.uninstallEnabled.get());
    EXPECT_FALSE(controller.getAllSelectApp());

    controller.setObjectValueForCheckBox(page.rowOf("Paint"));
    EXPECT_EQ(controller.statusLine.get().text, "1 of 4 selected.");
    EXPECT_TRUE(controller.uninstallEnabled.get());
    EXPECT_FALSE(controller.selectAllOn.get());
    ASSERT_TRUE(controller.getAllSelectApp());
    EXPECT_EQ(controller.getAllSelectApp()->front().name, "Paint");

    Page::showGroup(1);
    controller.selectAllList(true);  // marks the group on show only
    Page::showGroup(0);
    EXPECT_EQ(controller.statusLine.get().text, "2 of 4 selected.");
    controller.getSelectAllOrNull();
    EXPECT_FALSE(controller.selectAllOn.get());
    controller.selectAllList(true);
    EXPECT_EQ(controller.statusLine.get().text, "4 of 4 selected.");
    controller.getSelectAllOrNull();
    EXPECT_TRUE(controller.selectAllOn.get());
    controller.selectAllList(false);
    EXPECT_EQ(controller.statusLine.get().text, "0 of 4 selected.");
    EXPECT_FALSE(controller.getAllSelectApp());

    controller.sortApplications("Name", true);
    EXPECT_EQ(page.shownNames(),
              (std::vector<std::string>{"Notes", "Paint", "Quillby Pro", "Vim"}));
    controller.sortApplications("System App", false);
    EXPECT_EQ(page.shownNames().front(), "Vim");

    // The confirmation names system applications.
    controller.setObjectValueForCheckBox(page.rowOf("Notes"));
    EXPECT_EQ(controller.showAlertForUninstall().informativeText,
              "Uninstall the selected application(s)?");
    controller.setObjectValueForCheckBox(page.rowOf("Vim"));
    EXPECT_EQ(controller.showAlertForUninstall().informativeText,
              "System application(s),Do you want to uninstall it?");
}

TEST(UninstallAppsController, RemovedRecordsLeaveTheListsFailedOnesStayWithTheirReason) {
    Page page;
    page.search();
    auto& controller = *page.controller;
    const PlatformContext& context = page.machine.context();
    fs::path notesData = page.machine.writeFile(context.xdgDataHome / "org.example.Notes/db");
    fs::path ownData = page.machine.writeFile(context.xdgConfigHome / "com.quillby.pro/x");
    page.machine.packageKit->succeed = false;  // Vim's removal fails

    controller.setObjectValueForCheckBox(page.rowOf("Notes"));
    controller.setObjectValueForCheckBox(page.rowOf("Vim"));
    controller.setObjectValueForCheckBox(page.rowOf("Quillby Pro"));
    Page::showGroup(2);
    controller.setObjectValueForCheckBox(page.rowOf("Paint"));
    controller.setObjectValueForCheckBox(page.rowOf("Paint"));  // and off again
    Page::showGroup(0);
    controller.selectAllList(true);
    controller.setObjectValueForCheckBox(page.rowOf("Paint"));  // Paint stays unmarked

    std::vector<std::string> logged;
    ScopedLogCapture capture([&](std::string_view text) { logged.emplace_back(text); });
    EXPECT_FALSE(controller.uninstallActionfromBottomButton());
    EXPECT_FALSE(controller.selectAllOn.get());
    // Notes went and left the lists; Vim failed and stays, marked, with its reason; the
    // program's own entry was skipped and stays, still marked; Paint was not marked.
    EXPECT_EQ(page.shownNameSet(), (std::vector<std::string>{"Paint", "Quillby Pro", "Vim"}));
    ASSERT_EQ(controller.searchAllAppArr().size(), 3u);
    for (const auto& app : controller.searchAllAppArr()) {
        EXPECT_EQ(app.bIsSelected, app.name != "Paint") << app.name;
        EXPECT_EQ(app.failureReason.empty(), app.name != "Vim") << app.name;
    }
    EXPECT_TRUE(noneExist(page.notes, notesData));
    EXPECT_TRUE(allExist(page.own, ownData, page.paint));
    EXPECT_NE(std::find(logged.begin(), logged.end(), "uninstall can not work!"), logged.end());
}

// The size is the application's, along its plan: the program's folder, its settings and its entry,
// not the entry's few bytes alone; for a package, only what is the user's can be told.
TEST(AppDetails, ShowTheApplicationsSizeAndCutNamesAndPathsByCharacters) {
    UninstallPageMachine page;
    const fs::path home = page.machine.home();
    page.machine.writeFile(home / ".local/opt/notetaker/notetaker", std::string(4000, 'p'));
    AppItems app;
    app.name = "A name that is longer than the sheet shows";
    app.path =
        page.machine
            .writeEntry(page.machine.userApplications() / (std::string(60, 'n') + ".desktop"),
                        app.name, "Exec=" + (home / ".local/opt/notetaker/notetaker").string())
            .string();
    app.bundleID = std::string(60, 'n');
    app.source = AppSource::UserEntry;
    UninstallApp planner(page.machine.backends);
    AppDetails details = AppDetails::forApp(app, planner);
    EXPECT_EQ(details.name, "A name that is longer than t...");
    EXPECT_EQ(details.nameToolTip, app.name);
    EXPECT_EQ(details.path, app.path.substr(0, 70) + "...");
    EXPECT_EQ(details.pathToolTip, app.path);
    EXPECT_EQ(details.size, 4000u + fs::file_size(app.path));
    EXPECT_EQ(details.sizeText, UtilityFunction::convertVolSpace(details.size));
    EXPECT_TRUE(details.created.starts_with("Created: "));

    AppItems vim = app;
    vim.path = page.vim.string();
    vim.bundleID = "vim";
    vim.source = AppSource::Package;
    vim.removalUnit = "vim";
    EXPECT_EQ(AppDetails::forApp(vim, planner).sizeText, "0.00 KB of the user's files");
}

TEST(UninstallPageModel, DiscoveryStartsWithItsRowAndGroupsWaitForIt) {
    Page page;
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
    Page page;
    page.search();
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
    Page page;
    const PlatformContext& context = page.machine.context();
    page.machine.writeEntry(page.machine.userApplications() / "google-chrome.desktop", "Chrome");
    page.machine.writeEntry(page.machine.userApplications() / "google-chrome-beta.desktop", "Beta");
    fs::path settings = page.machine.writeFile(context.xdgConfigHome / "google-chrome/x");
    page.machine.writeFile(context.xdgConfigHome / "google-chrome-beta/x");
    page.search();
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

// Rights are asked only when a marked record needs them and they are not held: refused, nothing
// goes and the marks stay; granted, the flag is set and announced and the removal runs.
TEST(UninstallPageModel, RightsAreAskedByNeedAndARefusalRemovesNothing) {
    Page page;
    page.machine.packageKit->running = false;  // the package then goes through the helper
    page.search();
    auto& controller = *page.controller;
    std::vector<bool> lockChanges;
    Subscription lock = EventBus::defaultCenter().observe(
        Events::changeLockState,
        [&](const Event&) { lockChanges.push_back(AdministratorRightsFlag::isSet()); });
    const std::string succeeded = "Selected application(s) were uninstalled successfully.";

    // Nothing marked needs rights: the page removes at once.
    page.mark("Notes");
    EXPECT_EQ(page.model->confirmationAnswered(false), UninstallPageModel::Next::Nothing);
    ASSERT_EQ(page.model->confirmationAnswered(true), UninstallPageModel::Next::Remove);
    page.remove();
    EXPECT_EQ(page.launcher->launches, 0);
    EXPECT_EQ(controller.statusLine.get().text, succeeded);
    controller.uninstallShowSelectNumInBottom(true);  // the result text stays
    EXPECT_EQ(controller.statusLine.get().text, succeeded);
    EXPECT_FALSE(controller.uninstallEnabled.get());

    // A package marked: the page asks, off the main thread; refused, nothing goes.
    page.mark("Vim");
    ASSERT_EQ(page.model->confirmationAnswered(true), UninstallPageModel::Next::AskRights);
    EXPECT_FALSE(controller.removingNow.get());
    EXPECT_FALSE(page.rights.allocAuthorization());
    EXPECT_FALSE(page.model->rightsAnswered(false));
    UninstallStatusLine refused = controller.statusLine.get();
    EXPECT_TRUE(refused.visible);
    EXPECT_EQ(refused.text,
              "Failed to uninstall the selected application(s). Please refer to Help for more "
              "info. Administrator rights were not given: nothing was removed.");
    EXPECT_TRUE(page.machine.packageKit->removed.empty());
    EXPECT_TRUE(fs::exists(page.vim));
    ASSERT_TRUE(page.record("Vim"));
    EXPECT_TRUE(page.record("Vim")->bIsSelected);
    EXPECT_TRUE(lockChanges.empty());
    EXPECT_FALSE(controller.lockOn.get());

    // The lock asks only while no rights are held.
    EXPECT_TRUE(page.model->lockClicked());
    page.model->lockRightsAnswered(false);
    EXPECT_TRUE(page.model->lockClicked());

    // Granted: the flag is set and announced, then the removal runs through the helper.
    page.launcher->refuse = false;
    ASSERT_EQ(page.model->confirmationAnswered(true), UninstallPageModel::Next::AskRights);
    ASSERT_TRUE(page.rights.allocAuthorization());
    ASSERT_TRUE(page.model->rightsAnswered(true));
    EXPECT_EQ(page.launcher->launches, 2);
    EXPECT_EQ(lockChanges, (std::vector<bool>{true}));
    EXPECT_TRUE(controller.lockOn.get());
    EXPECT_FALSE(page.model->lockClicked());
    EXPECT_EQ(page.model->confirmationAnswered(true), UninstallPageModel::Next::Remove);
    page.remove();
    // The lists come from a fresh discovery: the stand-in package removal left Vim's entry,
    // so it is listed again, as found, unmarked.
    ASSERT_TRUE(page.record("Vim"));
    EXPECT_FALSE(page.record("Vim")->bIsSelected);
    EXPECT_TRUE(page.record("Vim")->failureReason.empty());
    EXPECT_EQ(controller.statusLine.get().text, succeeded);

    AdministratorRightsFlag::set(false);
    page.model->lockRightsAnswered(true);
    EXPECT_FALSE(page.model->lockClicked());
    EXPECT_EQ(UninstallPageModel::progressText({.done = 1, .total = 3, .currentPath = "Vim"}),
              "Removing Vim (2 of 3)...");
    EXPECT_EQ(UninstallPageModel::progressText({.done = 3, .total = 3, .currentPath = "Vim"}),
              "Removing Vim (3 of 3)...");
}

TEST(UninstallPageModel, AFailedRecordShowsWhyInsteadOfItsVersion) {
    AppItems app;
    app.name = "Vim";
    app.bundleVersion = "9.0";
    EXPECT_EQ(UninstallPageModel::secondaryText(app), "9.0");
    app.failureReason = "package vim: refused";
    EXPECT_EQ(UninstallPageModel::secondaryText(app), "Not removed: package vim: refused");
}
