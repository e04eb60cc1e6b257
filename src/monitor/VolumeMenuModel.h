// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/MountedVolume.h"
#include "monitor/VolumeRow.h"

namespace quillby {

class VolumesManager;

// The status menu's structure as data: which groups it shows, when it is rebuilt and what
// "Eject All" leads to.
namespace VolumeMenuModel {

struct VolumeGroup {
    std::int32_t kind = kLocalStorage;
    std::string titleKey;  // "LOCAL_STORAGE", ...
    std::vector<MountedVolume> volumes;
};

// The volumes in the menu's fixed group order (local, external, optical, network, disk image),
// each group in enumeration order; empty groups are left out.
std::vector<VolumeGroup> groupVolumesByKind(const std::vector<MountedVolume>& volumes);
// The menu row (or volume tile) of a volume: its kind, figures, texts and root, tag = its index in
// the enumeration, `errorValue` the alarm threshold in percent ("10").
VolumeRow volumeRow(const MountedVolume& volume, std::int32_t tag, const std::string& errorValue);
// The rows of every volume, tagged by position, with the space alarm of the settings: the one
// place the tray menu and the facts page make their volume rows.
std::vector<VolumeRow> volumeRows(const std::vector<MountedVolume>& volumes);
// The stored space alarm ("0.1") as the rows show it, a whole percent ("10").
std::string spaceAlarmPercent();
// "Eject All" is active when an external, optical, network or disk-image volume is mounted.
bool ejectAllEnabled(const std::vector<MountedVolume>& volumes);
// A tick rebuilds the menu only when the number of volumes changed.
bool needsRebuildOnTick(std::size_t previousCount, std::size_t currentCount);

// What "Eject All" did: the eject-all result, the balloon to show (the localised
// "NO_HAVE_REMOVABLE" when nothing was ejectable) and whether the menu is rebuilt.
struct EjectAllOutcome {
    std::int32_t result = -1;
    std::optional<std::string> balloonText;
    bool rebuildMenu = false;
};
EjectAllOutcome rejestAllDisk(VolumesManager& manager);
// The same for an eject-all result obtained elsewhere (on a worker).
EjectAllOutcome ejectAllOutcome(std::int32_t result);

}  // namespace VolumeMenuModel

}  // namespace quillby
