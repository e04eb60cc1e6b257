// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/VolumeRow.h"

#include <cstdio>
#include <cstdlib>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "monitor/LevelImage.h"

namespace quillby {

namespace {

bool alarmKind(std::uint32_t kind) {
    return kind == 0 || kind == 1 || kind == VolumeRow::kMemoryKind;
}

}  // namespace

std::int32_t VolumeRow::thresholdPercent() const {
    return static_cast<std::int32_t>(std::strtol(errorValue.c_str(), nullptr, 10));
}

std::optional<std::string> VolumeRow::getPrograssImage(bool tile) const {
    auto used = LevelImage::usedPercent(nTotalSize, nFreeSize);
    if (!used) return std::nullopt;
    bool alarm = showsAlarmColour();
    char name[32];
    if (tile) {
        std::snprintf(name, sizeof name, alarm ? "%d_r_index.png" : "%d_index.png", *used);
    } else {
        std::snprintf(name, sizeof name, alarm ? "%d-1.png" : "%d.png", *used);
    }
    return std::string(name);
}

bool VolumeRow::getWarningValue() const {
    if (nTotalSize == 0) return false;
    auto freePercent = static_cast<std::int32_t>(LevelImage::freePercent(nTotalSize, nFreeSize));
    return freePercent <= thresholdPercent();
}

bool VolumeRow::showsAlarmColour() const {
    return alarmKind(myStorage) && getWarningValue();
}

void VolumeRow::mouseDown() {
    if (myStorage != kMemoryKind) {
        EventBus::defaultCenter().post(Events::openFinderWhenClickItems, volRootDir);
    }
    clicked = false;
}

void VolumeRow::backDisk(const std::function<bool(std::int32_t)>& eject) {
    if (myStorage <= 4 && eject) eject(volRefNumber);
    EventBus::defaultCenter().post(Events::refMenuItemWhenDeleteAndAdd);
}

void VolumeRow::cleanMemoryButtonClick() {
    volumeSize = "Freeing...";
    EventBus::defaultCenter().post(Events::cleanMemoryClickAction);
}

std::string VolumeRow::tileIconName(std::uint32_t kind, bool boot) {
    switch (kind) {
        case 0:
            return boot ? "disk_mac.png" : "disk_ico_1.png";
        case 1:
            return "disk_ico_5.png";
        case 2:
            return "disk_ico_3.png";
        case 3:
            return "disk_ico_4.png";
        case 4:
            return "disk_ico_2.png";
        default:
            return "freememory.png";
    }
}

std::string VolumeRow::groupTitleKey(std::uint32_t kind) {
    static const char* const kKeys[] = {"LOCAL_STORAGE",  "EXTERNAL_STORAGE", "SUPER_DRIVER",
                                        "NETWOR_STORAGE", "DISK_IMAGE",       "FREE_MEMORY"};
    return kind <= 5 ? kKeys[kind] : "";
}

}  // namespace quillby
