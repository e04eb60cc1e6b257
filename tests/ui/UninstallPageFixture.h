// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PrivilegedAuthorization.h"
#include "support/ScriptedAsker.h"
#include "uninstall/UninstallFixtures.h"
#include "uninstall/ui/UninstallAppsPage.h"

using namespace quillby;

// A machine for the uninstaller page: two of the user's own applications ("Notes" with
// settings and a cache, "Paint"), two packaged ones ("Vim", "GIMP") and this program's entry,
// with stand-in backends, rights that the test grants or refuses, and a confirmation that
// records the plan it was shown and answers `confirmAnswer`.
class UninstallPageFixture {
  public:
    UninstallPageFixture() {
        AdministratorRightsFlag::set(false);
        const PlatformContext& context = machine.context();
        std::filesystem::path user = machine.userApplications();
        std::filesystem::path system = machine.systemApplications();
        notes = machine.writeEntry(user / "org.example.Notes.desktop", "Notes");
        paint = machine.writeEntry(user / "org.example.Paint.desktop", "Paint");
        machine.writeEntry(user / "com.quillby.pro.desktop", "Quillby Pro");
        vim = machine.writeEntry(system / "vim.desktop", "Vim");
        gimp = machine.writeEntry(system / "gimp.desktop", "GIMP");
        machine.packages->owners[vim.string()] = {"vim", "9.0.1378"};
        machine.packages->owners[gimp.string()] = {"gimp", "2.10.34"};
        notesSettings = machine.writeFile(context.xdgConfigHome / "org.example.Notes/settings",
                                          std::string(1500, 's'));
        machine.writeFile(context.xdgCacheHome / "org.example.Notes/pages", std::string(300, 'c'));
        machine.backends.authorization = &rights;
    }
    ~UninstallPageFixture() { AdministratorRightsFlag::set(false); }

    // A new page over the machine.
    UninstallAppsPage* makePage(MainQueue& queue) {
        auto confirm = [this](const UninstallPlanSheet& sheet) {
            sheets.push_back(sheet);
            return confirmAnswer;
        };
        return new UninstallAppsPage(
            {.queue = &queue, .asker = asker},
            {.backends = machine.backends, .searchStarted = &searchStarted, .confirm = confirm});
    }

    UninstallMachine machine;
    std::shared_ptr<CountingLauncher> launcher = std::make_shared<CountingLauncher>();
    PrivilegedAuthorization rights{launcher};
    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    bool searchStarted = false;
    std::vector<UninstallPlanSheet> sheets;
    bool confirmAnswer = true;
    std::filesystem::path notes, paint, vim, gimp, notesSettings;
};
