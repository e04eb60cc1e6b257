#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/ScriptedAsker.h"
#include "uninstall/UninstallFixtures.h"
#include "uninstall/ui/UninstallAppsPage.h"

// The page machine with a second packaged application ("GIMP"), and a confirmation that
// records the plan it was shown and answers `confirmAnswer`.
class UninstallPageFixture : public UninstallPageMachine {
  public:
    UninstallPageFixture() {
        gimp = machine.writeEntry(machine.systemApplications() / "gimp.desktop", "GIMP");
        machine.packages->owners[gimp.string()] = {"gimp", "2.10.34"};
    }

    // A new page over the machine.
    UninstallAppsPage* makePage(MainQueue& queue) {
        UninstallAppsPageOptions options;
        options.backends = machine.backends;
        options.searchStarted = &searchStarted;
        options.asker = asker;
        options.confirm = [this](const UninstallPlanSheet& sheet) {
            sheets.push_back(sheet);
            return confirmAnswer;
        };
        return new UninstallAppsPage(queue, std::move(options));
    }

    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    std::vector<UninstallPlanSheet> sheets;
    bool confirmAnswer = true;
    std::filesystem::path gimp;
};
