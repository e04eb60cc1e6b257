// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/QuillbyCommandLine.h"

#include "cli/CliOutput.h"
#include "cli/Commands.h"

namespace quillby {

void defineQuillbyCommandLine(CLI::App& app) {
    app.name("quillby");
    app.description(
        "Quillby Pro from the command line: disks, memory, cleaning, applications, "
        "duplicates, disk usage and login items.");
    app.set_version_flag("--version", "quillby 4.0");
    addSettingsCommand(app);
    addHistoryCommand(app);
    addDiskUsageCommand(app);
    addVolumesCommand(app);
    addEjectCommand(app);
    addMemoryCommands(app);
    addSysinfoCommand(app);
    addOverviewCommand(app);
    addLoginItemsCommand(app);
    addCleanCommand(app);
    addDupesCommand(app);
    addAppsCommand(app);
    addUpdateCheckCommand(app);
    requireCommand(app);
}

}  // namespace quillby
