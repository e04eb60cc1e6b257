// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "core/events/Subscription.h"

namespace quillby {

class AppController;
class AppDelegate;
class DiskUsageTool;
class QtMainQueue;
class SingleInstance;
class TrayAgentView;
class UpdateChecker;
class VolumesInfo;
class VolumesManager;
class CleanSysWindow;  // the quick-clean window

// The desktop program put together: the main queue on the Qt loop, the tray agent with its
// view, the main window with its pages, and the one-program-per-user socket.
class QuillbyProApplication : public QObject {
    Q_OBJECT
  public:
    QuillbyProApplication();
    ~QuillbyProApplication() override;

    // Takes the single-instance lock (false: another program runs and was asked to show its
    // window), then builds the agent. Gives false when this process should end.
    bool start();

    AppDelegate& agent() { return *agent_; }
    TrayAgentView& view() { return *view_; }
    AppController& mainWindow() { return *appController_; }
    UpdateChecker& updates() { return *updates_; }

  private:
    void setupPages(class PrefsWindowController& window);
    // The disk-usage tool, owned by the window, showing its pages there.
    DiskUsageTool* makeDiskUsageTool(PrefsWindowController& window, const struct PageNeeds& needs);

    std::unique_ptr<QtMainQueue> queue_;
    std::unique_ptr<SingleInstance> instance_;
    std::shared_ptr<VolumesInfo> volumes_;
    std::shared_ptr<VolumesManager> manager_;
    std::unique_ptr<TrayAgentView> view_;
    std::unique_ptr<CleanSysWindow> cleanWindow_;  // the quick clean, while one runs
    std::unique_ptr<AppController> appController_;
    std::unique_ptr<AppDelegate> agent_;
    std::unique_ptr<UpdateChecker> updates_;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillby
