#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/QWVolumeInfo.h"

// The level images and alarm rules of the tray icon, the status-menu rows and the volume tiles.
// Images are named by state; the numbers are the used percent, rounded up.
namespace LevelImage {

// ceiling((total - free) * 100 / total); nothing for a total of 0 or a result above 100.
std::optional<int> usedPercent(std::uint64_t total, std::uint64_t free);
// (free * 100 / total) rounded down; 0 for a total of 0.
std::uint64_t freePercent(std::uint64_t total, std::uint64_t free);

// The tray icon for the boot volume: "93%-1.png" when SpaceAlarm x 100 reaches the free
// percent, else "42%.png"; nothing for no boot volume or a total of 0.
std::optional<std::string> getStatusImage(const QWVolumeInfo* bootVolume, float spaceAlarm);
// The same, for the first record with the boot flag.
std::optional<std::string> getStatusImage(const std::vector<QWVolumeInfo>& volumes,
                                          float spaceAlarm);
// The tray's warning colour: the free percent is at most `warningSize`; false for a total of 0.
bool getWarningValue(std::uint64_t freeBytes, std::uint64_t totalBytes, std::int32_t warningSize);

// A row's alarm threshold text ("10" or "10.000000") read as an integer.
int errorValueAsInteger(std::string_view errorValue);
// True for the kinds that turn red and show the alarm variant: local, external and memory.
bool kindShowsAlarm(std::int32_t kind);
// A row's alarm: the free percent is at most the threshold; false for a total of 0.
bool rowWarning(std::uint64_t total, std::uint64_t free, std::string_view errorValue);
// A status-menu row's level image: "93-1.png" (alarm, kinds 0, 1, 5 only) or "93.png".
std::optional<std::string> rowLevelImageName(std::int32_t kind, std::uint64_t total,
                                             std::uint64_t free, std::string_view errorValue);
// A volume tile's level image: "93_r_index.png" (alarm, kinds 0, 1, 5 only) or "93_index.png".
std::optional<std::string> tileLevelImageName(std::int32_t kind, std::uint64_t total,
                                              std::uint64_t free, std::string_view errorValue);

}  // namespace LevelImage
