// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/apps/AppItems.h"
#include "uninstall/UninstallApp.h"
#include "uninstall/UninstallTexts.h"

namespace quillby {

// One thing the confirmation says will go.
struct PlannedStep {
    std::string text;      // the path, or "package vim and the files it installed" and the like
    std::string sizeText;  // what it frees as a size text; empty for packages, Flatpaks, snaps
    std::uint64_t bytes = 0;
    bool toTrash = false;  // moved to the user's trash, where it can be put back

    // The line as the confirmation and the command line show it: "move PATH (1.50 KB) to the
    // trash" or "remove PATH (1.50 KB)".
    std::string line() const;
};

// One marked application and what removing it deletes.
struct PlannedApp {
    std::string name;
    std::string identifier;         // the identifier, else the path
    bool isOwnApplication = false;  // this program: it is never removed, so nothing is planned
    std::vector<PlannedStep> steps;
};

// What the confirmation of a removal shows: the question itself and, for every marked
// application, every package and path that will go, with sizes, and which go to the trash.
struct UninstallPlanSheet {
    UninstallConfirmation confirmation;
    std::vector<PlannedApp> apps;
    std::uint64_t bytesDeleted = 0;
    std::uint64_t bytesToTrash = 0;

    // Measures the plan of every one of `apps` (UninstallApp::measuredPlan). Reads the disk, so
    // a page calls it on a worker, with its own copy of the uninstaller.
    static UninstallPlanSheet measure(const UninstallApp& uninstaller,
                                      const std::vector<AppItems>& apps,
                                      UninstallConfirmation confirmation);
    // The totals in one sentence: "Deleted: 3.20 MB. To the trash (can be put back): 1.50 KB."
    std::string summary() const;
};

}  // namespace quillby
