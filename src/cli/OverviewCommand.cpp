// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/CliOutput.h"
#include "memory/ClearMemory.h"
#include "monitor/LevelImage.h"
#include "monitor/VolumesInfo.h"

namespace quillby {

namespace {

std::string bootVolumeText(const MountedVolume* boot) {
    if (!boot) return "No boot volume found.\n";
    auto used = LevelImage::usedPercent(boot->nTotalSize, boot->nFreeSize);
    return boot->volumeName + ": " + boot->freeSpace + " free of " + boot->totalSpace +
           (used ? " (" + std::to_string(*used) + "% used)" : std::string()) + "\n";
}

}  // namespace

void addOverviewCommand(CLI::App& app) {
    auto asJson = std::make_shared<bool>(false);
    auto* overview = app.add_subcommand(
        "overview", "Boot volume, all volumes, memory and machine facts at a glance");
    overview->add_flag("--json", *asJson, "Print JSON");
    overview->callback([asJson] {
        VolumesInfo volumes;
        ClearMemory memory;
        MemoryFigures info{};
        memory.getMemoryInfo(&info);
        MachineFacts facts = MachineFacts::read();
        const MountedVolume* boot = volumes.getBootVolume();
        if (*asJson) {
            printOrderedJson(
                {{"bootVolume", boot ? volumeJson(*boot) : nlohmann::ordered_json(nullptr)},
                 {"volumes", volumesJson(volumes.volsArray())},
                 {"memory", memoryJson(info)},
                 {"sysinfo", sysinfoJson(facts)}});
            return;
        }
        std::cout << "Boot volume\n"
                  << bootVolumeText(boot) << "\nVolumes\n"
                  << volumesText(volumes.volsArray()) << "\nMemory\n"
                  << memoryText(info) << "\nMachine\n"
                  << sysinfoText(facts);
    });
}

}  // namespace quillby
