#include <unistd.h>
#include <CLI/CLI.hpp>

#include "cli/AppsCommand.h"
#include "cli/CleanCommand.h"
#include "cli/CliOutput.h"
#include "cli/DiskUsageCommand.h"
#include "cli/DupesCommand.h"
#include "cli/EjectCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/LoginItemsCommand.h"
#include "cli/MemoryCommand.h"
#include "cli/OverviewCommand.h"
#include "cli/SettingsCommand.h"
#include "cli/SysinfoCommand.h"
#include "cli/VolumesCommand.h"
#include "core/Log.h"
#include "core/PreferenceViewController.h"
#include "core/SettingsKeys.h"
#include "core/UserDefaults.h"
#include "platform/linux/LinuxPlatform.h"
#include "sysinfo/MacLog.h"

int main(int argc, char** argv) {
    installLinuxPlatform(PlatformContext::fromEnvironment());
    // Engine log lines go to the diagnostic log; the terminal gets only the command's output.
    MacLog::sendLogLinesTo("orvane.log");
    PreferenceViewController::initialize();
    registerDefaultsOnce(UserDefaults::standardUserDefaults(), SettingRegistrar::MainWindow);

    CLI::App app{
        "Quillby Pro from the command line: disks, memory, cleaning, applications, "
        "duplicates, disk usage and login items.",
        "quillby"};
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
    if (argc <= 1) {
        std::cout << app.help();
        return 0;
    }
    requireCommand(app);
    return runCli(app, argc, argv);
}
