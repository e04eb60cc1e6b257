// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>

#include "monitor/ui/VolumePanel.h"
#include "shell/PrefsWindowController.h"
#include "support/ScriptedAsker.h"
#include "sysinfo/ComputerInfoRows.h"
#include "ui/LoginItemsFixture.h"
#include "ui/QtMainQueue.h"
#include "ui/UninstallPageFixture.h"

using namespace quillby;

namespace quillby {
class DiskUsageTool;
class FastCleanPage;
struct PageNeeds;
}  // namespace quillby

// The main window with every page the program registers, filled from fixture data (volumes,
// machine facts, memory figures, the login-items tree), in the window's style and without theme
// icons, so that pictures and walks do not depend on the machine.
class FixtureMainWindow {
  public:
    FixtureMainWindow();
    ~FixtureMainWindow();

    PrefsWindowController window;
    FastCleanPage* overview = nullptr;
    UninstallAppsPage* uninstall = nullptr;  // the overview's row 8

    // The tray's volume panel with every kind of row and command.
    static std::unique_ptr<VolumePanel> volumePanel();
    // A volume of `kind` under /media (or the boot volume "/"), sizes in GB.
    static VolumeRow volume(std::uint32_t kind, const char* name, double totalGB, double freeGB,
                            bool eject, bool boot = false);
    // The machine's facts as the "My Computer" page lists them.
    static std::array<ComputerInfoRow, 7> facts();

  private:
    DiskUsageTool* diskUsageTool(const PageNeeds& needs);

    LoginItemsFixture loginItems_;
    UninstallPageFixture uninstallMachine_;
    QtMainQueue queue_;
    std::shared_ptr<ScriptedAsker> asker_ = std::make_shared<ScriptedAsker>();
};
