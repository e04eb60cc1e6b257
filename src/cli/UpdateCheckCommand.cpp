// SPDX-License-Identifier: GPL-3.0-or-later
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "monitor/UpdateChecker.h"
#include "platform/PackageUpdateService.h"
#include "platform/Services.h"

namespace quillby {

void addUpdateCheckCommand(CLI::App& app) {
    auto* check = app.add_subcommand(
        "update-check",
        "Ask PackageKit whether a newer quillby-pro package is available. Exit status: 0 up to "
        "date, 100 a newer version is available, 1 the check failed or quillby-pro is not "
        "installed as a package, 3 PackageKit is not available");
    check->callback([] {
        using State = PackageUpdateAnswer::State;
        auto packageKit = Services::get<PackageUpdateService>();
        if (!packageKit || !packageKit->isRunning()) {
            std::cout << "PackageKit is not available\n";
            throw CliFailure("", kNoPackageKitStatus);
        }
        PackageUpdateAnswer answer = packageKit->newerVersion(UpdateChecker::kPackage);
        switch (answer.state) {
            case State::Newer:
                std::cout << "version " << answer.version << " available\n";
                throw CliFailure("", kNewerVersionStatus);
            case State::UpToDate:
                std::cout << "up to date (" << answer.version << ")\n";
                return;
            case State::NotInstalled:
                throw CliFailure(
                    std::string(UpdateChecker::kPackage) + " is not installed as a package", 1);
            case State::Failed:
                throw CliFailure(answer.why, 1);
        }
    });
}

}  // namespace quillby
