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

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The page's controller over the page machine, its search not yet begun.
struct Page : UninstallPageMachine {
    PlainMainQueue queue;  // where discovery's results arrive
    std::unique_ptr<UninstallAppsController> controller =
        std::make_unique<UninstallAppsController>(UninstallAppsController::Options{
            .backends = machine.backends, .searchStarted = &searchStarted});

    void search() {
        controller->beginSearchApps();
        queue.runUntil([&] { return controller->searchFinished.get(); }, std::chrono::seconds(30));
    }
    // "Uninstall" as the page answers it: rights first where they are needed and not held,
    // then the removal and the discovery after it.
    void uninstall() {
        if (controller->rightsNeededFirst()) {
            if (!rights.allocAuthorization()) {
                controller->rightsRefused();
                return;
            }
            AdministratorRightsFlag::set(true);
        }
        controller->uninstallActionfromBottomButton();
        controller->refreshApps();
        queue.runUntil([&] { return !controller->searching.get(); }, std::chrono::seconds(30));
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

    std::vector<std::string> logged;
    int paintRow = page.rowOf("Paint");
    {
        ScopedLogCapture capture([&](std::string_view text) { logged.emplace_back(text); });
        controller.setObjectValueForCheckBox(paintRow);
    }
    EXPECT_EQ(logged, (std::vector<std::string>{"CellClick=" + std::to_string(paintRow)}));
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
    UninstallConfirmation plain = controller.showAlertForUninstall();
    EXPECT_EQ(plain.message, "Uninstall Applications");
    EXPECT_EQ(plain.defaultButton, "Uninstall");
    EXPECT_EQ(plain.otherButton, "Cancel");
    EXPECT_EQ(plain.informativeText, "Uninstall the selected application(s)?");
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

TEST(UninstallAppsController, RightsAreAskedOnceByNeedWhateverTheGroup) {
    Page page;
    page.machine.packageKit->running = false;  // Vim's package then needs the helper
    page.search();
    auto& controller = *page.controller;
    std::vector<bool> lockChanges;
    Subscription lock = EventBus::defaultCenter().observe(
        Events::changeLockState,
        [&](const Event&) { lockChanges.push_back(AdministratorRightsFlag::isSet()); });

    // Nothing marked needs rights: none are asked for.
    controller.setObjectValueForCheckBox(page.rowOf("Notes"));
    page.uninstall();
    EXPECT_EQ(page.launcher->launches, 0);
    EXPECT_EQ(controller.statusLine.get().text,
              "Selected application(s) were uninstalled successfully.");
    controller.uninstallShowSelectNumInBottom(true);  // the result text stays
    EXPECT_EQ(controller.statusLine.get().text,
              "Selected application(s) were uninstalled successfully.");
    EXPECT_FALSE(controller.uninstallEnabled.get());

    // A package marked in "All Applications": rights are asked; refused, nothing goes.
    controller.setObjectValueForCheckBox(page.rowOf("Vim"));
    EXPECT_TRUE(controller.rightsNeededFirst());
    page.uninstall();
    EXPECT_EQ(page.launcher->launches, 1);
    UninstallStatusLine refused = controller.statusLine.get();
    EXPECT_EQ(refused.text,
              "Failed to uninstall the selected application(s). Please refer to Help for more "
              "info. Administrator rights were not given: nothing was removed.");
    EXPECT_TRUE(page.machine.packageKit->removed.empty());
    EXPECT_TRUE(fs::exists(page.vim));
    EXPECT_TRUE(controller.getAllSelectApp());
    EXPECT_TRUE(lockChanges.empty());
    EXPECT_FALSE(controller.lockOn.get());

    // Granted once: the flag is set and announced, then the removal runs through the helper.
    page.launcher->refuse = false;
    page.uninstall();
    EXPECT_EQ(page.launcher->launches, 2);
    EXPECT_EQ(lockChanges, (std::vector<bool>{true}));
    EXPECT_TRUE(controller.lockOn.get());
    EXPECT_EQ(AdministratorRightsFlag::lockImageName(), std::string("Unlock.png"));
    // The lists come from a fresh discovery: the stand-in package removal left Vim's entry,
    // so it is listed again, as found, unmarked.
    auto shown = controller.allApplications.get();
    auto vim = std::find_if(shown.begin(), shown.end(),
                            [](const AppItems& app) { return app.name == "Vim"; });
    ASSERT_NE(vim, shown.end());
    EXPECT_FALSE(vim->bIsSelected);
    EXPECT_TRUE(vim->failureReason.empty());
    EXPECT_EQ(controller.statusLine.get().text,
              "Selected application(s) were uninstalled successfully.");
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
