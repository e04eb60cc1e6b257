// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/MountedVolume.h"

namespace quillby {

// The tray icon's level image and warning, and the percent arithmetic that the rows and tiles
// (VolumeRow) share with it. Images are named by state; the number is the used percent, rounded
// up.
namespace LevelImage {

// ceiling((total - free) * 100 / total); nothing for a total of 0 or a result above 100.
std::optional<int> usedPercent(std::uint64_t total, std::uint64_t free);
// (free * 100 / total) rounded down; 0 for a total of 0.
std::uint64_t freePercent(std::uint64_t total, std::uint64_t free);

// The tray icon for the boot volume: "93%-1.png" when SpaceAlarm x 100 reaches the free
// percent, else "42%.png"; nothing for no boot volume or a total of 0.
std::optional<std::string> getStatusImage(const MountedVolume* bootVolume, float spaceAlarm);
// The same, for the first record with the boot flag.
std::optional<std::string> getStatusImage(const std::vector<MountedVolume>& volumes,
                                          float spaceAlarm);
// The tray's warning colour: the free percent is at most `warningSize`; false for a total of 0.
bool getWarningValue(std::uint64_t freeBytes, std::uint64_t totalBytes, std::int32_t warningSize);

}  // namespace LevelImage

}  // namespace quillby
