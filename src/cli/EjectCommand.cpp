// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli/AbsolutePath.h"
#include "cli/CliOutput.h"
#include "core/text/LocalizedText.h"
#include "monitor/VolumesInfo.h"
#include "monitor/VolumesManager.h"

namespace quillby {

namespace {

bool isReferenceNumber(const std::string& text) {
    return !text.empty() && text.size() <= 10 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// The mounted volume named by a reference number or a mount point; bad input otherwise.
MountedVolume chosenVolume(const std::string& target) {
    VolumesInfo volumes;
    for (const auto& volume : volumes.volsArray()) {
        bool matches = isReferenceNumber(target) ? std::to_string(volume.volRefNumber) == target
                                                 : volume.volRootDir == absolutePath(target);
        if (matches) return volume;
    }
    throw usageError("no mounted volume has the reference or mount point '" + target +
                     "' (see: quillby volumes)");
}

void ejectOne(const std::string& target) {
    MountedVolume volume = chosenVolume(target);
    if (!volume.bCanEject) {
        throw usageError(volume.volumeName + " (" + volume.volRootDir + ") cannot be ejected");
    }
    VolumesManager manager;
    if (!manager.ejectSingleVolume(volume.volRefNumber)) {
        throw CliFailure("could not eject " + volume.volumeName + " (" + volume.volRootDir +
                             "); see the diagnostic log",
                         1);
    }
    std::cout << "Ejected " << volume.volumeName << " (" << volume.volRootDir << ").\n";
}

void ejectAll() {
    VolumesManager manager;
    std::int32_t result = manager.ejectAllVolumes();
    if (result < 0) {
        std::cout << localizedString("NO_HAVE_REMOVABLE") << "\n";
    } else if (result == 0) {
        std::cout << "Ejected every ejectable volume.\n";
    } else {
        throw CliFailure("some volumes could not be ejected; see the diagnostic log", 1);
    }
}

}  // namespace

void addEjectCommand(CLI::App& app) {
    auto target = std::make_shared<std::string>();
    auto all = std::make_shared<bool>(false);
    auto* eject = app.add_subcommand("eject", "Eject a volume by reference or mount point, or all");
    eject->add_option("TARGET", *target, "Reference number or mount point (see: quillby volumes)");
    eject->add_flag("--all", *all, "Eject every ejectable volume");
    eject->callback([target, all] {
        if (*all && !target->empty()) throw usageError("give a volume or --all, not both");
        if (*all) return ejectAll();
        if (target->empty()) throw usageError("eject needs a reference, a mount point or --all");
        ejectOne(*target);
    });
}

}  // namespace quillby
