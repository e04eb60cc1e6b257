// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>
#include <CLI/CLI.hpp>

#include "cli/CliOutput.h"
#include "cli/QuillbyCommandLine.h"
#include "core/events/Log.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "platform/linux/CompactHeap.h"
#include "platform/linux/LinuxPlatform.h"
#include "sysinfo/DiagnosticLog.h"

using namespace quillby;

int main(int argc, char** argv) {
    useOneCompactHeap();
    installLinuxPlatform(PlatformContext::fromEnvironment());
    // Engine log lines go to the diagnostic log; the terminal gets only the command's output.
    DiagnosticLog::sendLogLinesTo("orvane.log");
    PreferenceViewController::initialize();
    registerDefaultsOnce(UserDefaults::standardUserDefaults(), SettingRegistrar::MainWindow);

    CLI::App app;
    defineQuillbyCommandLine(app);
    if (argc <= 1) {
        std::cout << app.help();
        return 0;
    }
    return runCli(app, argc, argv);
}
