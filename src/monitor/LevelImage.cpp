// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/LevelImage.h"

#include <cstdio>
#include <string>

namespace quillby {

namespace LevelImage {

namespace {

// 128-bit products: a file system may report a size whose hundredfold overflows 64 bits.
using Wide = unsigned __int128;

std::string formatted(const char* format, int value) {
    char name[32];
    std::snprintf(name, sizeof name, format, value);
    return name;
}

}  // namespace

std::optional<int> usedPercent(std::uint64_t total, std::uint64_t free) {
    if (total == 0) return std::nullopt;
    Wide usedTimes100 =
        static_cast<Wide>(total - free) * 100;  // wraps like the rule when free > total
    Wide quotient = usedTimes100 / total;
    if (usedTimes100 % total != 0) ++quotient;
    if (free > total || quotient > 100) return std::nullopt;
    return static_cast<int>(quotient);
}

std::uint64_t freePercent(std::uint64_t total, std::uint64_t free) {
    if (total == 0) return 0;
    return static_cast<std::uint64_t>(static_cast<Wide>(free) * 100 / total);
}

std::optional<std::string> getStatusImage(const MountedVolume* bootVolume, float spaceAlarm) {
    if (!bootVolume || bootVolume->nTotalSize == 0) return std::nullopt;
    auto used = usedPercent(bootVolume->nTotalSize, bootVolume->nFreeSize);
    if (!used) return std::nullopt;
    float free = static_cast<float>(freePercent(bootVolume->nTotalSize, bootVolume->nFreeSize));
    bool alarm = spaceAlarm * 100.0f >= free;
    return formatted(alarm ? "%d%%-1.png" : "%d%%.png", *used);
}

std::optional<std::string> getStatusImage(const std::vector<MountedVolume>& volumes,
                                          float spaceAlarm) {
    for (const auto& volume : volumes) {
        if (volume.bIsDefaultVol) return getStatusImage(&volume, spaceAlarm);
    }
    return std::nullopt;
}

bool getWarningValue(std::uint64_t freeBytes, std::uint64_t totalBytes, std::int32_t warningSize) {
    if (totalBytes == 0) return false;
    return static_cast<std::int32_t>(freePercent(totalBytes, freeBytes)) <= warningSize;
}

}  // namespace LevelImage

}  // namespace quillby
