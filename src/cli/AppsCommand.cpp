// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/AbsolutePath.h"
#include "cli/CliOutput.h"
#include "core/events/FileLog.h"
#include "core/fs/FolderUtilities.h"
#include "core/work/PrivilegedAuthorization.h"
#include "uninstall/AppDetails.h"
#include "uninstall/UninstallApp.h"
#include "uninstall/UninstallAppInfo.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/UninstallGroups.h"
#include "uninstall/UninstallPlanSheet.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

struct AppsChoice {
    bool systemOnly = false;
    bool userOnly = false;
    bool asJson = false;
    std::vector<std::string> ids;
    bool dryRun = false;
    bool yes = false;
    bool permanent = false;
};

std::vector<AppItems> discover(const AppBackends& backends) {
    return UninstallAppInfo(backends).allAppsInfo();
}

nlohmann::json optionalText(const std::optional<std::string>& text) {
    return text ? nlohmann::json(*text) : nlohmann::json(nullptr);
}

// How the source shows in the table and in "show": "package vim-common", "flatpak (user)".
std::string sourceText(const AppItems& app) {
    std::string text(appSourceName(app.source));
    if (app.source == AppSource::Package || app.source == AppSource::Snap) {
        text += " " + app.removalUnit;
    } else if (app.source == AppSource::Flatpak) {
        text += " (" + app.installation + ")";
    }
    return text;
}

void listApps(const AppsChoice& choice) {
    int group = choice.systemOnly ? UninstallGroups::systemApplications
                : choice.userOnly ? UninstallGroups::applications
                                  : UninstallGroups::allApplications;
    std::vector<AppItems> apps;
    for (auto& app : discover(AppBackends::fromServices())) {
        if (UninstallGroups::shows(group, app)) apps.push_back(std::move(app));
    }
    if (choice.asJson) {
        auto list = nlohmann::json::array();
        for (const auto& app : apps) {
            list.push_back({{"name", app.name},
                            {"path", app.path},
                            {"bundleID", optionalText(app.bundleID)},
                            {"version", optionalText(app.bundleVersion)},
                            {"created", dateDescription(app.date)},
                            {"system", app.isSystemApp},
                            {"source", std::string(appSourceName(app.source))}});
        }
        printJson(list);
        return;
    }
    if (apps.empty()) {
        std::cout << "No applications found.\n";
        return;
    }
    std::vector<std::vector<std::string>> rows{
        {"NAME", "VERSION", "SYSTEM", "SOURCE", "ID", "PATH"}};
    for (const auto& app : apps) {
        rows.push_back({app.name, app.bundleVersion.value_or("-"), app.isSystemAppStr,
                        sourceText(app), app.bundleID.value_or("-"), app.path});
    }
    std::cout << formatTable(rows);
}

// The index of the application a user names by its identifier, its path or its entry's file
// name; bad input ends the command with status 2.
std::size_t findApp(const std::vector<AppItems>& apps, const std::string& which) {
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < apps.size(); ++i) {
        if (apps[i].bundleID == which) matches.push_back(i);
    }
    if (matches.empty()) {
        std::string path = which.find('/') != std::string::npos ? absolutePath(which) : "";
        for (std::size_t i = 0; i < apps.size(); ++i) {
            bool named = apps[i].path == path || fs::path(apps[i].path).filename() == which;
            if (named) matches.push_back(i);
        }
    }
    if (matches.empty()) throw usageError("no application " + which + " (see: quillby apps list)");
    if (matches.size() > 1) {
        std::string paths;
        for (std::size_t i : matches) paths += (paths.empty() ? " " : ", ") + apps[i].path;
        throw usageError(std::to_string(matches.size()) + " applications are called " + which +
                         "; name one by its path:" + paths);
    }
    return matches.front();
}

void showApp(const AppsChoice& choice) {
    AppBackends backends = AppBackends::fromServices();
    std::vector<AppItems> apps = discover(backends);
    const AppItems& app = apps[findApp(apps, choice.ids.front())];
    UninstallApp uninstaller(backends);
    uninstaller.setInstalledIdentifiers(UninstallApp::identifiersOf(apps));
    // The size and the list are what a removal would take, as the window's details show.
    UninstallPlanSheet sheet = UninstallPlanSheet::measure(uninstaller, {app}, {});
    const PlannedApp& plan = sheet.apps.front();
    AppDetails details = AppDetails::forApp(app, plan);
    if (choice.asJson) {
        auto steps = nlohmann::json::array();
        for (const auto& step : plan.steps) {
            steps.push_back({{"what", step.text}, {"size", step.bytes}, {"toTrash", step.toTrash}});
        }
        // Scripts read the related files by this key: it stays beside the whole plan.
        auto files = nlohmann::json::array();
        for (const auto& path : uninstaller.relatedFiles(app)) {
            files.push_back({{"path", path}, {"size", FolderUtilities::sizeOfItemAtPath(path)}});
        }
        printJson({{"name", app.name},
                   {"path", app.path},
                   {"bundleID", optionalText(app.bundleID)},
                   {"version", optionalText(app.bundleVersion)},
                   {"created", dateDescription(app.date)},
                   {"system", app.isSystemApp},
                   {"source", std::string(appSourceName(app.source))},
                   {"size", details.size},
                   {"relatedFiles", files},
                   {"removes", steps}});
        return;
    }
    std::vector<std::vector<std::string>> rows{
        {"Name:", app.name},
        {"ID:", app.bundleID.value_or("-")},
        {"Version:", app.bundleVersion.value_or("-")},
        {"Source:", sourceText(app)},
        {"System:", app.isSystemAppStr},
        {"Path:", app.path},
        {"Size:", details.sizeText},
        {"Created:", AppDetails::mediumDateText(app.date)},
    };
    std::cout << formatTable(rows);
    if (plan.isOwnApplication) {
        std::cout << "Removing it: never (this program does not remove itself)\n";
        return;
    }
    std::cout << "Removing it would:\n";
    for (const auto& step : plan.steps) std::cout << "  " << step.line() << "\n";
}

void printPlan(const std::vector<AppItems>& chosen, const UninstallApp& uninstaller) {
    UninstallPlanSheet sheet = UninstallPlanSheet::measure(uninstaller, chosen, {});
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const PlannedApp& planned = sheet.apps[i];
        std::cout << planned.name << " (" << planned.identifier << ", " << sourceText(chosen[i])
                  << ")\n";
        if (planned.isOwnApplication) {
            std::cout << "  is this program, which never removes itself\n";
            continue;
        }
        for (const auto& step : planned.steps) std::cout << "  " << step.line() << "\n";
    }
}

void removeApps(const AppsChoice& choice) {
    AppBackends backends = AppBackends::fromServices();
    UninstallAppsController controller({.backends = backends});
    controller.searchAppsFinished(discover(backends));
    std::vector<AppItems> apps = controller.allApplications.get();
    std::vector<std::size_t> rows;
    for (const auto& which : choice.ids) {
        std::size_t row = findApp(apps, which);
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(row);
    }
    for (std::size_t row : rows) controller.setObjectValueForCheckBox(static_cast<int>(row));
    std::vector<AppItems> chosen = controller.getAllSelectApp().value_or(std::vector<AppItems>());

    UninstallApp& uninstaller = controller.uninstaller();
    uninstaller.setPermanent(choice.permanent);
    // Only a person at the terminal may let an item that no trash can take be deleted for good.
    uninstaller.confirmPermanentRemoval = [yes = choice.yes](const std::string& path) {
        if (yes) return false;
        return askYesNo(path + UninstallTexts::noTrashQuestion);
    };
    printPlan(chosen, uninstaller);
    if (choice.dryRun) {
        std::cout << "Dry run: nothing was removed.\n";
        return;
    }
    UninstallConfirmation confirmation = controller.showAlertForUninstall();
    if (!choice.yes) {
        std::cout << confirmation.message << "\n";
        if (!askYesNo(confirmation.informativeText)) {
            throw CliFailure("cancelled: nothing was removed", 1);
        }
    }
    PrivilegedAuthorization& rights = backends.rights();
    bool needsRights = std::any_of(chosen.begin(), chosen.end(), [&](const AppItems& app) {
        return !UninstallApp::isOwnApplication(app) && uninstaller.needsAdministrator(app);
    });
    if (needsRights && !rights.allocAuthorization()) {
        std::cout << UninstallTexts::failed << "\n";
        throw CliFailure("administrator rights were not given: nothing was removed", 1);
    }
    bool succeeded = controller.uninstallActionfromBottomButton();
    rights.freeAuthorization();
    std::cout << (succeeded ? UninstallTexts::succeeded : UninstallTexts::failed) << "\n";
    if (succeeded) return;
    for (const auto& failure : controller.failures()) std::cout << "  " << failure << "\n";
    throw CliFailure("not every application was removed", 1);
}

}  // namespace

void addAppsCommand(CLI::App& app) {
    auto* apps = app.add_subcommand("apps", "List and remove installed applications");
    requireCommand(*apps);

    auto listChoice = std::make_shared<AppsChoice>();
    auto* list = apps->add_subcommand("list", "Every installed application");
    auto* system = list->add_flag("--system", listChoice->systemOnly,
                                  "Only the system's (installed by its package manager)");
    list->add_flag("--user", listChoice->userOnly, "Only the others")->excludes(system);
    list->add_flag("--json", listChoice->asJson, "Print JSON");
    list->callback([listChoice] { listApps(*listChoice); });

    auto showChoice = std::make_shared<AppsChoice>();
    auto* show = apps->add_subcommand("show", "One application's details and related files");
    show->add_option("ID", showChoice->ids, "Identifier or path from the list")->required();
    show->add_flag("--json", showChoice->asJson, "Print JSON");
    show->callback([showChoice] { showApp(*showChoice); });

    auto removeChoice = std::make_shared<AppsChoice>();
    auto* remove =
        apps->add_subcommand("remove", "Remove applications with their settings, caches and data");
    remove->add_option("ID", removeChoice->ids, "Identifiers or paths from the list")->required();
    remove->add_flag("--dry-run", removeChoice->dryRun,
                     "Show what would be removed; remove nothing");
    remove->add_flag("--yes", removeChoice->yes, "Do not ask for confirmation");
    remove->add_flag("--permanent", removeChoice->permanent,
                     "Delete settings and data instead of moving them to the trash");
    remove->callback([removeChoice] { removeApps(*removeChoice); });
}

}  // namespace quillby
