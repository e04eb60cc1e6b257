// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/CliOutput.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/LocalizedText.h"
#include "monitor/LevelImage.h"
#include "monitor/VolumeMenuModel.h"
#include "monitor/VolumesInfo.h"

namespace quillby {

namespace {

// The rows' alarm threshold: SpaceAlarm in percent, truncated, as the menu rows get it.
std::string alarmThreshold() {
    float alarm = UserDefaults::standardUserDefaults().floatForKey(SettingsKey::SpaceAlarm);
    return std::to_string(static_cast<int>(alarm * 100.0f));
}

bool inAlarm(const MountedVolume& volume) {
    return VolumeMenuModel::volumeRow(volume, 0, alarmThreshold()).showsAlarmColour();
}

std::vector<MountedVolume> inMenuOrder(const std::vector<MountedVolume>& volumes) {
    std::vector<MountedVolume> ordered;
    for (auto& group : VolumeMenuModel::groupVolumesByKind(volumes)) {
        ordered.insert(ordered.end(), group.volumes.begin(), group.volumes.end());
    }
    return ordered;
}

}  // namespace

nlohmann::ordered_json volumeJson(const MountedVolume& volume) {
    return {{"ref", volume.volRefNumber},     {"kind", volume.volType},
            {"name", volume.volumeName},      {"root", volume.volRootDir},
            {"boot", volume.bIsDefaultVol},   {"ejectable", volume.bCanEject},
            {"total", volume.nTotalSize},     {"free", volume.nFreeSize},
            {"totalText", volume.totalSpace}, {"freeText", volume.freeSpace},
            {"alarm", inAlarm(volume)}};
}

nlohmann::ordered_json volumesJson(const std::vector<MountedVolume>& volumes) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& volume : inMenuOrder(volumes)) list.push_back(volumeJson(volume));
    return list;
}

std::string volumesText(const std::vector<MountedVolume>& volumes) {
    if (volumes.empty()) return "No mounted volume.\n";
    std::string text;
    for (const auto& group : VolumeMenuModel::groupVolumesByKind(volumes)) {
        text += localizedString(group.titleKey) + "\n";
        std::vector<std::vector<std::string>> rows{
            {"  REF", "NAME", "USED", "FREE", "TOTAL", "ROOT", "MARKS"}};
        for (const auto& volume : group.volumes) {
            auto used = LevelImage::usedPercent(volume.nTotalSize, volume.nFreeSize);
            std::string marks;
            auto mark = [&marks](const char* word) {
                marks += (marks.empty() ? "" : ",") + std::string(word);
            };
            if (volume.bIsDefaultVol) mark("boot");
            if (volume.bCanEject) mark("ejectable");
            if (inAlarm(volume)) mark("LOW-SPACE");
            rows.push_back({"  " + std::to_string(volume.volRefNumber), volume.volumeName,
                            used ? std::to_string(*used) + "%" : "-", volume.freeSpace,
                            volume.totalSpace, volume.volRootDir, marks});
        }
        text += formatTable(rows);
    }
    return text;
}

void addVolumesCommand(CLI::App& app) {
    auto asJson = std::make_shared<bool>(false);
    auto* volumes =
        app.add_subcommand("volumes", "Mounted volumes with their free and total space");
    volumes->add_flag("--json", *asJson, "Print JSON");
    volumes->callback([asJson] {
        VolumesInfo info;
        if (*asJson) {
            printOrderedJson(volumesJson(info.volsArray()));
        } else {
            std::cout << volumesText(info.volsArray());
        }
    });
}

}  // namespace quillby
