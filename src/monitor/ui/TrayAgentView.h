// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/AgentView.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quillby {

class BubbleView;
class VolumePanel;

// The agent on the desktop: the tray icon with its level image and tooltip, the volume panel it
// opens on a click, its context menu with the same commands as plain actions, the balloons and
// the main window.
class TrayAgentView : public QObject, public AgentView {
    Q_OBJECT
  public:
    struct Commands {
        std::function<bool(std::int32_t)> eject;  // one volume, by reference number
        std::function<void()> ejectAll;
        std::function<void()> fastClean;  // the quick-clean window
        std::function<void()> scan;       // the window on a row of the "Scan" page
        std::function<void()> freeSpace;
        std::function<void()> uninstall;
        std::function<void()> showMainWindow;  // the agent's command (window and row)
        std::function<void()> preferences;
        std::function<void()> about;
        std::function<void()> quit;
        std::function<void()> openWindow;              // only shows the window
        std::function<void(const QString&)> openPage;  // only shows the window on a page
    };

    TrayAgentView();
    ~TrayAgentView() override;

    void setCommands(Commands commands);
    // True when the desktop offers a tray; without one the window is the program's face.
    static bool trayAvailable();

    void showMenu(const StatusMenu& menu) override;
    void updateMenu(const StatusMenu& menu) override;
    void removeMenu() override;
    void cancelMenuTracking() override;
    void setStatusImage(const std::optional<std::string>& name) override;
    void setStatusToolTip(const std::string& text) override;
    void updateShowSize(const std::string& freeText, const std::string& totalText) override;
    void setWarningStatusShowColor(bool warning) override;
    void setStatusItemHidden(bool hidden) override;
    void showBalloon(const std::vector<std::string>& lines, bool error) override;
    // The balloon that says `version` of the program is available; a click opens the desktop's
    // software tool on its updates, where one is installed.
    void announceUpdate(const std::string& version);
    void showMainWindow() override;
    void showMainWindowPage(const std::string& identifier) override;
    void showAbout() override;
    void alert(const std::string& text) override;
    void quit(int status) override;

    // Opens the volume panel beside the tray icon (or at the pointer).
    void togglePanel();
    VolumePanel* panel() const { return panel_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QMenu* contextMenu() const { return contextMenu_.get(); }
    BubbleView* bubbles() const { return bubbles_.get(); }
    // The About dialog while it is open.
    QWidget* aboutDialog() const { return about_; }

  private:
    // The command a menu entry runs, or null for entries that are no command.
    static std::function<void()> Commands::*commandOf(StatusMenuEntry::Type type);
    void run(StatusMenuEntry::Type type);
    // The menu's entries without their figures: the context menu is rebuilt only when it changed.
    static std::string menuShape(const StatusMenu& menu);
    void rebuildContextMenu(const StatusMenu& menu);
    // Gives the rows of the unchanged context menu their new texts and level images.
    void refreshContextMenu(const StatusMenu& menu);

    struct RowAction {
        QPointer<QAction> action;
        std::string level;  // the level image it shows
    };

    Commands commands_;
    QSystemTrayIcon* tray_;
    std::unique_ptr<QMenu> contextMenu_;
    VolumePanel* panel_;
    std::unique_ptr<BubbleView> bubbles_;
    QPointer<QWidget> about_;
    bool hasMenu_ = false;
    std::string contextShape_;
    std::vector<RowAction> rowActions_;
};

}  // namespace quillby
