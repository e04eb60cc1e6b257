// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

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

// The user's sentence as the command line's messages go: lower case first, no full stop.
std::string asCliMessage(std::string sentence) {
    if (!sentence.empty()) sentence.front() = static_cast<char>(std::tolower(sentence.front()));
    if (sentence.ends_with('.')) sentence.pop_back();
    return sentence;
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
    std::string failure;
    if (!manager.ejectSingleVolume(volume.volRefNumber, &failure))
        throw CliFailure(asCliMessage(failure), 1);
    std::cout << "Ejected " << volume.volumeName << " (" << volume.volRootDir << ").\n";
}

void ejectAll() {
    VolumesManager manager;
    std::vector<std::string> failures;
    std::int32_t result = manager.ejectAllVolumes(&failures);
    if (result < 0) {
        std::cout << localizedString("NO_HAVE_REMOVABLE") << "\n";
    } else if (result == 0) {
        std::cout << "Ejected every ejectable volume.\n";
    } else {
        std::cout.flush();
        for (const auto& failure : failures)
            std::cerr << "quillby: " << asCliMessage(failure) << "\n";
        throw CliFailure("", 1);  // each failure is told above
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
