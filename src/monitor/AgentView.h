// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "monitor/StatusMenu.h"

namespace quillby {

// What the tray agent shows and opens; the desktop program implements it with the tray icon,
// the volume panel, balloons and the main window, and tests with a recorder.
class AgentView {
  public:
    virtual ~AgentView() = default;

    // A newly built menu replaces the shown one.
    virtual void showMenu(const StatusMenu& menu) = 0;
    // The figures of the shown menu changed.
    virtual void updateMenu(const StatusMenu& menu) = 0;
    // The menu is dropped; until the next one the tray holds none.
    virtual void removeMenu() = 0;
    // An open menu or panel closes (before it changes under the pointer).
    virtual void cancelMenuTracking() = 0;

    // The tray icon's level image by name ("42%.png"); nothing shows the plain icon.
    virtual void setStatusImage(const std::optional<std::string>& name) = 0;
    virtual void setStatusToolTip(const std::string& text) = 0;
    // The boot volume's free and total texts, and whether they show in the alarm colour.
    virtual void updateShowSize(const std::string& freeText, const std::string& totalText) = 0;
    virtual void setWarningStatusShowColor(bool warning) = 0;
    virtual void setStatusItemHidden(bool hidden) = 0;

    virtual void showBalloon(const std::vector<std::string>& lines, bool error) = 0;
    virtual void showMainWindow() = 0;
    // Shows the main window on a toolbar page ("Scan", "preferences"), as its toolbar item does.
    virtual void showMainWindowPage(const std::string& identifier) = 0;
    virtual void showAbout() = 0;
    virtual void alert(const std::string& text) = 0;
    // Ends the program with `status`.
    virtual void quit(int status) = 0;
};

}  // namespace quillby
