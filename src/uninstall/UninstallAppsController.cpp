// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallAppsController.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/work/AdministratorRightsFlag.h"
#include "uninstall/AppDetails.h"
#include "uninstall/UninstallAppInfo.h"
#include "uninstall/UninstallGroups.h"

namespace quillby {

namespace {

bool processSearchStarted = false;  // read and written on the main thread only

bool isUninstalledObject(const std::any& object) {
    if (auto text = std::any_cast<std::string>(&object)) {
        return *text == UninstallTexts::uninstalledObject;
    }
    if (auto text = std::any_cast<const char*>(&object)) {
        return *text && std::string_view(*text) == UninstallTexts::uninstalledObject;
    }
    return false;
}

}  // namespace

UninstallAppsController::UninstallAppsController(Options options)
    : backends_(std::move(options.backends)),
      mainQueue_(options.mainQueue),
      searchStarted_(options.searchStarted ? options.searchStarted : &processSearchStarted),
      uninstaller_(backends_),
      jobs_(mainQueue_) {
    lockOn.set(AdministratorRightsFlag::isSet());
    EventBus& bus = EventBus::defaultCenter();
    subscriptions_.push_back(bus.observe(Events::changeSelectCell, [this](const Event& event) {
        if (auto row = userInfoValue<int>(event, EventKeys::UninstallRowNumber)) {
            changeSelectCell(*row);
        }
    }));
    subscriptions_.push_back(
        bus.observe(Events::uninstallShowSelectNumInBottom, [this](const Event& event) {
            uninstallShowSelectNumInBottom(isUninstalledObject(event.object));
        }));
    subscriptions_.push_back(
        bus.observe(Events::changeLockState, [this](const Event&) { changeLockState(); }));
}

UninstallAppsController::~UninstallAppsController() {
    subscriptions_.clear();
}

void UninstallAppsController::beginSearchApps() {
    if (*searchStarted_) return;
    *searchStarted_ = true;
    refreshApps();
}

void UninstallAppsController::refreshApps() {
    if (removing_) return;
    selectAllOn.set(false);
    searching.set(true);
    std::uint64_t search = ++searches_;
    jobs_.start<std::vector<AppItems>>(
        [backends = backends_](JobContext&) { return UninstallAppInfo(backends).allAppsInfo(); },
        [this, search](std::vector<AppItems> found) {
            // An older discovery that ends late would show what a newer one has replaced.
            if (search == searches_) searchAppsFinished(std::move(found));
        });
}

void UninstallAppsController::searchAppsFinished(std::vector<AppItems> found) {
    // What failed before keeps its mark and reason: the user may try it again.
    for (auto& app : found) {
        auto before = std::find_if(records_.begin(), records_.end(), [&](const AppItems& old) {
            return old.path == app.path && !old.failureReason.empty();
        });
        if (before == records_.end()) continue;
        app.bIsSelected = before->bIsSelected;
        app.failureReason = before->failureReason;
    }
    records_ = std::move(found);
    // The plan and the removal weigh each application's related files against every other one
    // found; a removal under way keeps the list it started with (the worker reads it).
    if (!removing_) uninstaller_.setInstalledIdentifiers(UninstallApp::identifiersOf(records_));
    shown_.clear();
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (!isScaned || UninstallGroups::shows(nowSelectRow, records_[i])) shown_.push_back(i);
    }
    publish();
    QWLog("%s", UninstallTexts::refreshLogLine);
    isScaned = true;
    searching.set(false);
    searchFinished.set(true);
}

void UninstallAppsController::publish() {
    std::vector<AppItems> rows;
    rows.reserve(shown_.size());
    for (std::size_t index : shown_) rows.push_back(records_[index]);
    allApplications.set(std::move(rows));
}

std::size_t UninstallAppsController::markedOnShow() const {
    return static_cast<std::size_t>(std::count_if(
        shown_.begin(), shown_.end(), [&](std::size_t i) { return records_[i].bIsSelected; }));
}

void UninstallAppsController::changeSelectCell(int row) {
    if (removing_) return;  // the worker is removing what the marks chose
    if (!isScaned || !UninstallGroups::isGroupRow(row)) return;
    selectRow = 0;
    nowSelectRow = row;
    shown_.clear();
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (UninstallGroups::shows(row, records_[i])) shown_.push_back(i);
    }
    publish();
    EventBus::defaultCenter().post(Events::uninstallShowSelectNumInBottom);
}

std::string UninstallAppsController::groupRowImage(int row) const {
    return row == nowSelectRow ? UninstallTexts::highlightedRowImage : UninstallTexts::rowImage;
}

void UninstallAppsController::uninstallShowSelectNumInBottom(bool uninstalled) {
    int selected = static_cast<int>(markedOnShow());
    int total = static_cast<int>(shown_.size());
    if (!uninstalled) {
        char text[96];
        std::snprintf(text, sizeof text, UninstallTexts::selectionCount, selected, total);
        statusLine.set({true, text, "", selected, total});
    }
    uninstallEnabled.set(selected >= 1);
}

void UninstallAppsController::selectAllList(bool on) {
    if (removing_) return;  // the worker is removing what the marks chose
    for (std::size_t index : shown_) records_[index].bIsSelected = on;
    selectAllOn.set(on);
    publish();
    EventBus::defaultCenter().post(Events::uninstallShowSelectNumInBottom);
}

void UninstallAppsController::setObjectValueForCheckBox(int row) {
    if (removing_) return;  // the worker is removing what the marks chose
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return;
    AppItems& record = records_[shown_[static_cast<std::size_t>(row)]];
    record.bIsSelected = !record.bIsSelected;
    if (record.bIsSelected) QWLog("CellClick=%d", row);
    publish();
    getSelectAllOrNull();
    EventBus::defaultCenter().post(Events::uninstallShowSelectNumInBottom);
}

void UninstallAppsController::getSelectAllOrNull() {
    std::size_t marked = markedOnShow();
    uninstallEnabled.set(marked > 0);
    selectAllOn.set(marked == shown_.size());
}

std::optional<std::vector<AppItems>> UninstallAppsController::getAllSelectApp() const {
    std::vector<AppItems> marked;
    for (std::size_t index : shown_) {
        if (records_[index].bIsSelected) marked.push_back(records_[index]);
    }
    if (marked.empty()) return std::nullopt;
    return marked;
}

void UninstallAppsController::selectRowAt(int row) {
    selectRow = row;
    publish();
}

void UninstallAppsController::sortApplications(std::string_view column, bool ascending) {
    auto key = [&](std::size_t index) -> std::string {
        const AppItems& app = records_[index];
        if (column == "buddleid") return app.bundleID.value_or("");
        if (column == "System App") return app.isSystemAppStr;
        return app.name;
    };
    std::stable_sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? key(a) < key(b) : key(b) < key(a);
    });
    publish();
}

UninstallConfirmation UninstallAppsController::showAlertForUninstall() const {
    bool system = std::any_of(shown_.begin(), shown_.end(), [&](std::size_t i) {
        return records_[i].bIsSelected && records_[i].isSystemApp;
    });
    return {UninstallTexts::confirmMessage, UninstallTexts::confirmDefaultButton,
            UninstallTexts::confirmOtherButton,
            system ? UninstallTexts::confirmInformativeSystem : UninstallTexts::confirmInformative};
}

void UninstallAppsController::showResult(bool succeeded, const std::string& why) {
    if (succeeded) {
        statusLine.set({true, UninstallTexts::succeeded, "", -1, -1});
        return;
    }
    // Shown in full, naming what stayed and why: a failure cut short reads as no reason at all,
    // or as a partial success.
    std::string full = UninstallTexts::failed;
    if (!why.empty()) full += " " + why;
    std::string names;
    for (const auto& app : records_) {
        if (app.failureReason.empty()) continue;
        names += (names.empty() ? "" : "; ") + app.name + " (" + app.failureReason + ")";
    }
    if (!names.empty()) full += " Not removed: " + names + ".";
    statusLine.set({true, full, "", -1, -1});
}

bool UninstallAppsController::markedNeedRights() const {
    for (std::size_t index : shown_) {
        const AppItems& app = records_[index];
        if (app.bIsSelected && !UninstallApp::isOwnApplication(app) &&
            uninstaller_.needsAdministrator(app)) {
            return true;
        }
    }
    return false;
}

bool UninstallAppsController::rightsNeededFirst() const {
    return markedNeedRights() && !AdministratorRightsFlag::isSet();
}

void UninstallAppsController::rightsRefused() {
    showResult(false, "Administrator rights were not given: nothing was removed.");
}

UninstallAppsController::RemovalBatch UninstallAppsController::beginRemoval() {
    selectAllOn.set(false);
    RemovalBatch batch;
    for (std::size_t index : shown_) {
        const AppItems& app = records_[index];
        if (!app.bIsSelected) continue;
        if (UninstallApp::isOwnApplication(app)) {
            QWLog("%s is this program: it is not removed", app.path.c_str());
            batch.skippedOwn = true;
            continue;
        }
        batch.indexes.push_back(index);
        batch.apps.push_back(app);
    }
    UninstallStatusLine line = statusLine.get();
    line.visible = true;
    statusLine.set(line);
    removing_ = true;
    removingNow.set(true);
    return batch;
}

RemovalOutcome UninstallAppsController::removeApp(UninstallApp& uninstaller, const AppItems& app) {
    std::size_t failuresBefore = uninstaller.failures().size();
    if (uninstaller.uninstallApp(app)) {
        RemovalOutcome gone;
        gone.path = app.name;
        gone.kind = RemovalOutcome::Kind::Removed;
        return gone;
    }
    QWLog("uninstall can not work!");
    const auto& failures = uninstaller.failures();
    std::string reason;
    for (std::size_t f = failuresBefore; f < failures.size(); ++f) {
        reason += (reason.empty() ? "" : "; ") + failures[f];
    }
    RemovalOutcome failed =
        RemovalOutcome::failed(app.name, uninstaller.lastFailureNeedsRights() ? EACCES : 0);
    failed.detail = reason.empty() ? "could not be removed" : reason;
    return failed;
}

bool UninstallAppsController::finishRemoval(const RemovalBatch& batch,
                                            const std::vector<RemovalOutcome>& outcomes,
                                            const std::string& note) {
    bool result = !batch.skippedOwn && outcomes.size() == batch.apps.size();
    std::set<std::size_t> removed;
    for (std::size_t i = 0; i < batch.indexes.size(); ++i) {
        if (i < outcomes.size() && outcomes[i].gone()) {
            removed.insert(batch.indexes[i]);
            continue;
        }
        // A record that failed or was not tried stays listed and marked, with the reason, to be
        // tried again.
        records_[batch.indexes[i]].failureReason =
            i < outcomes.size() ? outcomes[i].reason() : "the removal was stopped before it";
        result = false;
    }
    // Removed records leave both lists; the indexes of the others move down.
    std::vector<AppItems> kept;
    std::vector<std::size_t> newIndex(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (removed.count(i)) continue;
        newIndex[i] = kept.size();
        kept.push_back(std::move(records_[i]));
    }
    std::vector<std::size_t> shown;
    for (std::size_t index : shown_) {
        if (!removed.count(index)) shown.push_back(newIndex[index]);
    }
    records_ = std::move(kept);
    shown_ = std::move(shown);
    removing_ = false;
    removingNow.set(false);
    publish();
    showResult(result, result ? std::string() : note);
    EventBus::defaultCenter().post(Events::uninstallShowSelectNumInBottom,
                                   std::string(UninstallTexts::uninstalledObject));
    return result;
}

bool UninstallAppsController::uninstallActionfromBottomButton() {
    RemovalBatch batch = beginRemoval();
    std::vector<RemovalOutcome> outcomes;
    for (const AppItems& app : batch.apps) outcomes.push_back(removeApp(uninstaller_, app));
    return finishRemoval(batch, outcomes);
}

void UninstallAppsController::changeLockState() {
    lockOn.set(AdministratorRightsFlag::isSet());
}

}  // namespace quillby
