// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallPageModel.h"

#include <algorithm>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PrivilegedAuthorization.h"
#include "uninstall/UninstallGroups.h"

namespace quillby {

UninstallPageModel::UninstallPageModel(UninstallAppsController& controller,
                                       PrivilegedAuthorization& rights)
    : controller_(controller), rights_(rights) {}

void UninstallPageModel::featureRowBecameCurrent(int row) {
    if (row == featureRow) controller_.beginSearchApps();
}

void UninstallPageModel::refresh() {
    controller_.refreshApps();
}

bool UninstallPageModel::chooseGroup(int row) {
    int before = controller_.nowSelectRow;
    bool wasShown = controller_.isScaned && !controller_.removingNow.get();
    EventBus::defaultCenter().post(
        Events::changeSelectCell, {},
        {{EventKeys::UninstallRowNumber, row}, {EventKeys::PathName, std::string(" ")}});
    return wasShown && UninstallGroups::isGroupRow(row) && row != before;
}

const char* UninstallPageModel::columnTitle(int column) {
    switch (column) {
        case NameColumn:
            return "Name";
        case IdentifierColumn:
            return "Identifier";
        case SystemColumn:
            return "System App";
        default:
            return "";
    }
}

bool UninstallPageModel::sortByColumn(int column, bool ascending) {
    switch (column) {
        case NameColumn:
            controller_.sortApplications("Name", ascending);
            return true;
        case IdentifierColumn:
            controller_.sortApplications("buddleid", ascending);
            return true;
        case SystemColumn:
            controller_.sortApplications("System App", ascending);
            return true;
        default:
            return false;
    }
}

std::string UninstallPageModel::secondaryText(const AppItems& app) {
    if (!app.failureReason.empty()) return "Not removed: " + app.failureReason;
    return app.bundleVersion.value_or("");
}

std::string UninstallPageModel::identifierText(const AppItems& app) {
    return app.bundleID.value_or("");
}

std::string UninstallPageModel::markName(const AppItems& app) {
    return "Uninstall " + app.name;
}

std::string UninstallPageModel::detailsName(const AppItems& app) {
    return "Details of " + app.name;
}

std::optional<UninstallPageModel::Confirmation> UninstallPageModel::confirmation() const {
    auto marked = controller_.getAllSelectApp();
    if (!marked || controller_.removingNow.get()) return std::nullopt;
    return Confirmation{std::move(*marked), controller_.showAlertForUninstall()};
}

UninstallPageModel::Next UninstallPageModel::confirmationAnswered(bool uninstall) {
    if (!uninstall) return Next::Nothing;
    // Asking may wait for the user's password: the page does it off the main thread.
    if (controller_.rightsNeededFirst()) return Next::AskRights;
    return Next::Remove;
}

bool UninstallPageModel::rightsAnswered(bool granted) {
    if (!granted) {
        controller_.rightsRefused();
        return false;
    }
    AdministratorRightsFlag::set(true);
    return true;
}

bool UninstallPageModel::lockClicked() const {
    return !AdministratorRightsFlag::isSet();
}

void UninstallPageModel::lockRightsAnswered(bool granted) {
    if (granted) AdministratorRightsFlag::set(true);
}

std::string UninstallPageModel::progressText(const JobProgress& progress) {
    std::uint64_t number = std::min(progress.done + 1, progress.total);
    return "Removing " + progress.currentPath + " (" + std::to_string(number) + " of " +
           std::to_string(progress.total) + ")...";
}

}  // namespace quillby
