// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/events/EventBus.h"
#include "core/events/Subscription.h"
#include "memory/MemoryFigures.h"
#include "monitor/StatusMenu.h"

namespace quillby {

class AgentView;
class ClearMemory;
class MainQueue;
class VolumesInfo;
class VolumesManager;
class WatchMountUnmount;

// The tray agent: builds the status menu from the mounted volumes and memory, refreshes its
// figures every 2 seconds, rebuilds it when volumes come and go, ejects, purges, shows balloons
// and quits. Its menu work runs on the main thread; the volumes are enumerated on a worker
// (VolumesInfo::refreshInBackground) and their list reaches the main thread through the main
// queue. Its tick thread only keeps time.
class AppDelegate {
  public:
    struct Services {
        // The list the menu and the window's pages show; the agent refreshes it.
        std::shared_ptr<VolumesInfo> volumes;
        std::shared_ptr<VolumesManager> manager;
        // Made on start-up when absent; tests leave it out.
        std::function<std::unique_ptr<WatchMountUnmount>()> makeWatcher;
        std::function<std::unique_ptr<ClearMemory>()> makeClearMemory;
        // Opens the quick-clean window (which may find nothing to clean and open none), and
        // closes and releases it.
        std::function<void()> openCleanWindow;
        std::function<void()> closeCleanWindow;
    };

    static constexpr int kTickMs = 2000;
    static constexpr int kQuitStatus = 1;
    // The "Scan" page's rows the tray's commands select.
    static constexpr std::int32_t kOverviewRow = 0;
    static constexpr std::int32_t kUninstallRow = 8;
    static constexpr std::int32_t kFreeSpaceRow = 9;

    AppDelegate(Services services, AgentView& view, MainQueue& mainQueue);
    ~AppDelegate();

    // Subscribes to the agent's events.
    void registNSnotification();
    // Builds the agent: menu, tray, main window when not started at login, then the tick. The
    // menu shows the volume list as it is and again once the first refresh arrives (which also
    // posts "updateSizeView"); the main window waits for that list.
    void addMainFuction(bool startTicking = true);

    // Enumerates the volumes on a worker; once the list arrives, updateDataForMenuItem and
    // `then` run on the main thread (neither when the agent went meanwhile). Each tick does this.
    void refreshVolumes(std::function<void()> then = {});
    // Shows the list's latest figures: rebuilds when the count changed, refreshes every figure.
    void updateDataForMenuItem();
    void addMenu();
    void addOtherItem();
    void removeItems();
    void showMenuBar();
    // Rebuilds the menu at once from the list (only when a menu exists), then refreshes it.
    void refMenuItemWhenDeleteAndAdd();
    // "Eject All", on a worker; the balloon and the rebuild follow on the main thread.
    void rejestAllDisk();
    // Ejects one volume on a worker, then rebuilds the menu; an alert says why it failed.
    void ejectVolume(std::int32_t refNumber);
    // Opens the folder in the file manager on a worker; an alert says when it could not.
    void openFinderWhenClickItems(const std::string& path);
    void cleanMemoryClickAction();
    void setStatusBarHidden(bool hidden);
    // Shows the main window; before the first volume list has arrived, once it has.
    void showMainWindow();
    // "Scan", "Free Space" and "Uninstall": the main window on the "Scan" page's overview, free
    // space monitor and uninstaller rows.
    void onClickScan();
    void onClickFree();
    void onClickUninstall();
    // "Preferences…": the main window on its preferences page.
    void initSettingWindow();
    // "About Quillby Pro".
    void AboutFunCall();
    // "Fast Clean": opens the quick-clean window unless one runs.
    void cleaningFile();
    // "ShouldCloseWindow": releases the quick-clean window and enables "Fast Clean" again.
    void handleCloseCleanWindow();
    // False while a quick clean runs.
    bool isCanBeAction() const { return isCanBeAction_; }
    // The mount and unmount balloon, then a rebuild from the list the watcher handed over.
    void QWCommVolumeNottification(const Event& event, bool mounted);
    // "Quit Quillby Pro".
    void quit();

    const std::optional<StatusMenu>& menu() const { return menu_; }
    std::size_t previousCount() const { return previousCount_; }
    bool getWarningValue() const;

    // Starts and stops the tick thread; the interval is 2 seconds unless changed (tests).
    void beginTimer();
    void stopTimer();
    void setTickInterval(int milliseconds) { tickMs_ = milliseconds; }

  private:
    ClearMemory& clearMemoryRunner();
    void rebuildMenu();
    StatusMenuEntry memoryRow();
    void showFeatureRow(std::int32_t row);

    Services services_;
    AgentView& view_;
    MainQueue& mainQueue_;
    std::unique_ptr<WatchMountUnmount> watchMu_;
    std::unique_ptr<ClearMemory> clearMemory_;
    MemoryFigures memoryInfo_{};
    std::optional<StatusMenu> menu_;
    std::size_t previousCount_ = 0;
    bool isCanBeAction_ = true;
    bool volumesListed_ = false;  // the first refresh has arrived
    bool showWindowWhenListed_ = false;
    std::uint64_t homeDiskFreeSpace_ = 0;
    std::uint64_t homeDiskTotoleSpace_ = 0;
    std::int32_t homeDiskWarningSize_ = 0;
    std::string statusFreeSpace_;
    std::string statusTotalSpace_;
    std::vector<Subscription> subscriptions_;

    // Shared with the tick thread and the ticks it posts, so that a tick still queued when the
    // agent goes away finds the stop flag instead of a destroyed agent.
    struct TickState {
        std::mutex mutex;
        std::condition_variable changed;
        bool stopping = false;
    };
    std::shared_ptr<TickState> tick_ = std::make_shared<TickState>();
    std::thread tickThread_;
    int tickMs_ = kTickMs;
};

}  // namespace quillby
