// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/AppDelegate.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunction.h"
#include "core/text/UtilityFunctionOfData.h"
#include "core/work/MainQueue.h"
#include "memory/ClearMemory.h"
#include "monitor/AgentMessages.h"
#include "monitor/AgentView.h"
#include "monitor/LevelImage.h"
#include "monitor/VolumeMenuModel.h"
#include "monitor/VolumesInfo.h"
#include "monitor/VolumesManager.h"
#include "monitor/WatchMountUnmount.h"

namespace quillby {

namespace {

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

float setting(const char* key) {
    PreferenceViewController::initialize();
    return UserDefaults::standardUserDefaults().floatForKey(key);
}

StatusMenuEntry command(StatusMenuEntry::Type type, std::string title, std::string key = {},
                        bool enabled = true) {
    StatusMenuEntry entry;
    entry.type = type;
    entry.title = std::move(title);
    entry.keyEquivalent = std::move(key);
    entry.enabled = enabled;
    return entry;
}

}  // namespace

AppDelegate::AppDelegate(Services services, AgentView& view, MainQueue& mainQueue)
    : services_(std::move(services)), view_(view), mainQueue_(mainQueue) {}

AppDelegate::~AppDelegate() {
    stopTimer();
    subscriptions_.clear();
}

void AppDelegate::registNSnotification() {
    auto& bus = EventBus::defaultCenter();
    // Handlers touch the menu, which lives on the main thread; posts from workers hop there.
    auto onMain = [this](std::function<void()> work) {
        if (mainQueue_.isMainThread()) {
            work();
        } else {
            mainQueue_.post(std::move(work));
        }
    };
    subscriptions_.push_back(bus.observe(Events::QWVolumeMount, [this, onMain](const Event& e) {
        onMain([this, e] { QWCommVolumeNottification(e, true); });
    }));
    subscriptions_.push_back(bus.observe(Events::QWVolumeUnmount, [this, onMain](const Event& e) {
        onMain([this, e] { QWCommVolumeNottification(e, false); });
    }));
    subscriptions_.push_back(
        bus.observe(Events::openFinderWhenClickItems, [this, onMain](const Event& e) {
            const auto* path = std::any_cast<std::string>(&e.object);
            std::string root = path ? *path : std::string();
            onMain([this, root] { openFinderWhenClickItems(root); });
        }));
    subscriptions_.push_back(bus.observe(
        Events::refMenuItemWhenDeleteAndAdd,
        [this, onMain](const Event&) { onMain([this] { refMenuItemWhenDeleteAndAdd(); }); }));
    // Always later: the window asking to close must be out of its own call before it goes.
    subscriptions_.push_back(bus.observe(
        Events::ShouldCloseWindow, [this, alive = std::weak_ptr<TickState>(tick_)](const Event&) {
            mainQueue_.post([this, alive] {
                if (!alive.expired()) handleCloseCleanWindow();
            });
        }));
    subscriptions_.push_back(bus.observe(
        Events::cleanMemoryClickAction,
        [this, onMain](const Event&) { onMain([this] { cleanMemoryClickAction(); }); }));
    subscriptions_.push_back(
        bus.observe(Events::setStatusBarHidden, [this, onMain](const Event& e) {
            const auto* hidden = std::any_cast<bool>(&e.object);
            bool value = hidden && *hidden;
            onMain([this, value] { setStatusBarHidden(value); });
        }));
}

void AppDelegate::addMainFuction(bool startTicking) {
    PreferenceViewController::setLastClickRow(0);
    UtilityFunction::callSelectNotificationForMainWindowLeft(0);
    previousCount_ = 0;
    clearMemory_.reset();
    menu_ = StatusMenu{};
    if (services_.makeWatcher) {
        watchMu_ = services_.makeWatcher();
        if (watchMu_) {
            // The watcher's enumeration is the list its events speak of: no second one.
            watchMu_->setListHandler(
                [volumes = services_.volumes](const auto& facts) { volumes->setFacts(facts); });
            watchMu_->registerNotifications();
        }
    }
    addMenu();
    showMenuBar();
    addOtherItem();
    view_.setStatusItemHidden(PreferenceViewController::getHiddenStatusItem());
    if (UserDefaults::standardUserDefaults().integerForKey(SettingsKey::LoginCheck) == 0) {
        showMainWindow();
    }
    refreshVolumes([this] {
        volumesListed_ = true;
        EventBus::defaultCenter().post(Events::updateSizeView);
        if (showWindowWhenListed_) showMainWindow();
    });
    if (startTicking) beginTimer();
}

void AppDelegate::refreshVolumes(std::function<void()> then) {
    services_.volumes->refreshInBackground(
        mainQueue_, [this, alive = std::weak_ptr<TickState>(tick_), then = std::move(then)] {
            if (alive.expired()) return;
            updateDataForMenuItem();
            if (then) then();
        });
}

ClearMemory& AppDelegate::clearMemoryRunner() {
    if (!clearMemory_) {
        clearMemory_ = services_.makeClearMemory ? services_.makeClearMemory()
                                                 : std::make_unique<ClearMemory>();
    }
    return *clearMemory_;
}

StatusMenuEntry AppDelegate::memoryRow() {
    clearMemoryRunner().getMemoryInfo(&memoryInfo_);
    StatusMenuEntry entry;
    entry.type = StatusMenuEntry::Type::Row;
    entry.title = "5";
    VolumeRow& row = entry.row;
    row.myStorage = VolumeRow::kMemoryKind;
    row.volumeSize = "Memory";
    row.ViewTag = 5;
    row.u64TotalSpace = UtilityFunction::covertCleanMemory(memoryInfo_[kMemTotal]);
    row.u64FreeSpace = UtilityFunction::covertCleanMemory(memoryInfo_[kMemFree]);
    // The row's bytes are its texts read back, so that the level bar and the texts beside it
    // always agree (memory texts read back a little low: GiB shown, GB read).
    row.nTotalSize = UtilityFunction::getVolSpaceFromString(row.u64TotalSpace);
    row.nFreeSize = UtilityFunction::getVolSpaceFromString(row.u64FreeSpace);
    row.errorValue = printed("%f", setting(SettingsKey::MemoryAlarm) * 100.0f);
    return entry;
}

void AppDelegate::addMenu() {
    if (!menu_) menu_ = StatusMenu{};
    const std::vector<MountedVolume> volumes = services_.volumes->volsArray();
    view_.setStatusImage(LevelImage::getStatusImage(volumes, setting(SettingsKey::SpaceAlarm)));
    previousCount_ = volumes.size();
    SettingItems snapshot = UtilityFunctionOfData::getMyData().readerTxtForSettingValue();
    std::vector<VolumeRow> volumeRows = VolumeMenuModel::volumeRows(volumes);

    std::vector<StatusMenuEntry> rows;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const MountedVolume& volume = volumes[i];
        StatusMenuEntry entry;
        entry.type = StatusMenuEntry::Type::Row;
        entry.row = std::move(volumeRows[i]);
        entry.row.aIsPrograss = static_cast<std::int32_t>(std::atoi(snapshot.digital.c_str()));
        entry.title = std::to_string(volume.volRefNumber);
        QWLog("totalSpace=====%s", volume.totalSpace.c_str());
        if (volume.bIsDefaultVol) {
            view_.setStatusToolTip(AgentMessages::statusToolTip(
                volume.volumeName, volume.totalSpace, volume.freeSpace));
            statusFreeSpace_ = volume.freeSpace;
            statusTotalSpace_ = volume.totalSpace;
        }
        rows.push_back(std::move(entry));
    }
    for (std::uint32_t kind = 0; kind <= 4; ++kind) {
        bool headed = false;
        for (const auto& entry : rows) {
            if (entry.row.myStorage != kind) continue;
            if (!headed) {
                StatusMenuEntry header;
                header.type = StatusMenuEntry::Type::Header;
                header.headerKind = kind;
                menu_->push_back(header);
                headed = true;
            }
            menu_->push_back(entry);
        }
    }
    StatusMenuEntry memoryHeader;
    memoryHeader.type = StatusMenuEntry::Type::Header;
    memoryHeader.headerKind = VolumeRow::kMemoryKind;
    menu_->push_back(memoryHeader);
    menu_->push_back(memoryRow());
}

void AppDelegate::addOtherItem() {
    if (!menu_) return;
    using Type = StatusMenuEntry::Type;
    bool ejectable = VolumeMenuModel::ejectAllEnabled(services_.volumes->volsArray());
    menu_->push_back(command(Type::Separator, {}));
    menu_->push_back(command(Type::EjectAll, "Eject All", "e", ejectable));
    menu_->push_back(command(Type::Separator, {}));
    menu_->push_back(command(Type::FastClean, "Fast Clean", {}, isCanBeAction_));
    menu_->push_back(command(Type::Scan, "Scan"));
    menu_->push_back(command(Type::FreeSpace, "Free Space"));
    menu_->push_back(command(Type::Uninstall, "Uninstall"));
    menu_->push_back(command(Type::MainWindow, "Main Window"));
    menu_->push_back(command(Type::Preferences, "Preferences\u2026"));
    menu_->push_back(command(Type::About, "About Quillby Pro"));
    menu_->push_back(command(Type::Separator, {}));
    menu_->push_back(command(Type::Quit, "Quit Quillby Pro", "q"));
    view_.showMenu(*menu_);
}

void AppDelegate::removeItems() {
    menu_.reset();
    view_.removeMenu();
}

void AppDelegate::showMenuBar() {
    if (menu_) view_.updateMenu(*menu_);
}

void AppDelegate::updateDataForMenuItem() {
    showMenuBar();
    const std::vector<MountedVolume> volumes = services_.volumes->volsArray();
    if (VolumeMenuModel::needsRebuildOnTick(previousCount_, volumes.size())) {
        rebuildMenu();
        previousCount_ = volumes.size();
    }
    if (volumes.empty() || !menu_) return;

    float spaceAlarm = setting(SettingsKey::SpaceAlarm);
    std::string alarmPercent = VolumeMenuModel::spaceAlarmPercent();  // as the rows were built
    for (const auto& volume : volumes) {
        if (StatusMenuEntry* entry = findMenuItem(*menu_, std::to_string(volume.volRefNumber))) {
            VolumeRow& row = entry->row;
            row.errorValue = alarmPercent;
            row.u64FreeSpace = volume.freeSpace;
            row.u64TotalSpace = volume.totalSpace;
            row.nFreeSize = volume.nFreeSize;
            row.volumeSize = volume.volumeName;
            row.volRootDir = volume.volRootDir;
        }
        if (volume.volRootDir == "/") {
            view_.setStatusToolTip(AgentMessages::statusToolTip(
                volume.volumeName, volume.totalSpace, volume.freeSpace));
            view_.updateShowSize(volume.freeSpace, volume.totalSpace);
            homeDiskFreeSpace_ = volume.nFreeSize;
            homeDiskTotoleSpace_ = volume.nTotalSize;
            homeDiskWarningSize_ = static_cast<std::int32_t>(spaceAlarm * 100.0f);
            view_.setWarningStatusShowColor(getWarningValue());
        }
    }
    if (StatusMenuEntry* memory = findMemoryRow(*menu_)) {
        StatusMenuEntry fresh = memoryRow();
        VolumeRow& row = memory->row;
        row.errorValue = fresh.row.errorValue;
        row.u64FreeSpace = fresh.row.u64FreeSpace;
        row.u64TotalSpace = fresh.row.u64TotalSpace;
        row.nFreeSize = memoryInfo_[kMemFree];
        row.volumeSize = "Memory";
    }
    view_.updateMenu(*menu_);
    EventBus::defaultCenter().post(Events::updateNewDiskSizeView);
}

bool AppDelegate::getWarningValue() const {
    return LevelImage::getWarningValue(homeDiskFreeSpace_, homeDiskTotoleSpace_,
                                       homeDiskWarningSize_);
}

void AppDelegate::rebuildMenu() {
    view_.cancelMenuTracking();
    removeItems();
    addMenu();
    addOtherItem();
}

void AppDelegate::refMenuItemWhenDeleteAndAdd() {
    if (!menu_) return;
    rebuildMenu();
    refreshVolumes();
}

void AppDelegate::rejestAllDisk() {
    // The outcome arrives on the main thread once the ejects are done (or past their deadline).
    services_.manager->ejectAllVolumesInBackground(
        mainQueue_, [this, alive = std::weak_ptr<TickState>(tick_)](std::int32_t result) {
            if (alive.expired()) return;
            auto outcome = VolumeMenuModel::ejectAllOutcome(result);
            if (outcome.balloonText) view_.showBalloon({*outcome.balloonText}, false);
            if (outcome.rebuildMenu) refMenuItemWhenDeleteAndAdd();
        });
}

void AppDelegate::ejectVolume(std::int32_t refNumber) {
    services_.manager->ejectSingleVolumeInBackground(
        refNumber, mainQueue_,
        [this, alive = std::weak_ptr<TickState>(tick_)](bool ejected, const std::string& failure) {
            if (alive.expired()) return;
            if (!ejected) view_.alert(failure);
            refMenuItemWhenDeleteAndAdd();
        });
}

void AppDelegate::openFinderWhenClickItems(const std::string& path) {
    view_.cancelMenuTracking();
    services_.manager->openVolRootDirInBackground(
        path, mainQueue_, [this, alive = std::weak_ptr<TickState>(tick_)](bool opened) {
            if (!alive.expired() && !opened) view_.alert(localizedString("CANNOT_OPEN_FINDER"));
        });
}

void AppDelegate::cleanMemoryClickAction() {
    ClearMemory& runner = clearMemoryRunner();
    if (runner.isRuning()) return;
    QWLog("clean Memory");
    runner.clearMemory();
}

void AppDelegate::setStatusBarHidden(bool hidden) {
    view_.setStatusItemHidden(hidden);
    if (!hidden) showMenuBar();
}

void AppDelegate::showMainWindow() {
    // The window's pages are built from the list at their first showing.
    if (!volumesListed_) {
        showWindowWhenListed_ = true;
        return;
    }
    showWindowWhenListed_ = false;
    view_.showMainWindow();
    UtilityFunction::callSelectNotificationForMainWindowLeft(
        static_cast<std::int32_t>(PreferenceViewController::getLastClickRow()));
}

void AppDelegate::showFeatureRow(std::int32_t row) {
    view_.showMainWindowPage("Scan");
    // Receivers read only the row; a row the window does not have selects nothing.
    std::vector<std::any> request{std::string("s"), row};
    EventBus::defaultCenter().post(Events::shouldSelectRow, request);
}

void AppDelegate::onClickScan() {
    showFeatureRow(kOverviewRow);
}

void AppDelegate::onClickFree() {
    showFeatureRow(kFreeSpaceRow);
}

void AppDelegate::onClickUninstall() {
    showFeatureRow(kUninstallRow);
}

void AppDelegate::initSettingWindow() {
    view_.showMainWindowPage("preferences");
}

void AppDelegate::AboutFunCall() {
    view_.showAbout();
}

void AppDelegate::cleaningFile() {
    if (!isCanBeAction_) return;
    isCanBeAction_ = false;
    refMenuItemWhenDeleteAndAdd();
    if (services_.openCleanWindow) services_.openCleanWindow();
}

void AppDelegate::handleCloseCleanWindow() {
    if (services_.closeCleanWindow) services_.closeCleanWindow();
    isCanBeAction_ = true;
    refMenuItemWhenDeleteAndAdd();
}

void AppDelegate::QWCommVolumeNottification(const Event& event, bool mounted) {
    view_.showBalloon({AgentMessages::volumeBalloonText(event, mounted)}, false);
    if (menu_) rebuildMenu();
    EventBus::defaultCenter().post(Events::updateSizeView);
}

void AppDelegate::quit() {
    view_.quit(kQuitStatus);
}

void AppDelegate::beginTimer() {
    if (tickThread_.joinable()) return;
    tick_->stopping = false;
    tickThread_ = std::thread([this, state = tick_] {
        std::unique_lock lock(state->mutex);
        for (;;) {
            auto stop = [&] { return state->stopping; };
            if (state->changed.wait_for(lock, std::chrono::milliseconds(tickMs_), stop)) return;
            // Hand the tick to the main thread and wait until its list has arrived, so that ticks
            // never overlap.
            auto done = std::make_shared<bool>(false);
            mainQueue_.post([this, state, done] {
                {
                    std::lock_guard guard(state->mutex);
                    if (state->stopping) return;
                }
                // On the main thread, where the agent is destroyed too.
                refreshVolumes([state, done] {
                    std::lock_guard guard(state->mutex);
                    *done = true;
                    state->changed.notify_all();
                });
            });
            state->changed.wait(lock, [&] { return *done || state->stopping; });
            if (state->stopping) return;
        }
    });
}

void AppDelegate::stopTimer() {
    {
        std::lock_guard lock(tick_->mutex);
        tick_->stopping = true;
    }
    tick_->changed.notify_all();
    if (tickThread_.joinable()) tickThread_.join();
}

}  // namespace quillby
