// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quillby {

// What one row of the volume panel (and one tile of the main window's volume list) shows and
// does: a volume, or the memory row (kind 5), with its level, alarm and controls.
struct VolumeRow {
    std::uint32_t myStorage = 0;    // kind 0 ... 4 of the volume, 5 for the memory row
    std::int32_t volRefNumber = 0;  // the volume's reference number (volumes only)
    bool bIsDefaultVol = false;     // the boot volume
    bool bCanEject = false;         // the eject button is offered
    std::string volumeSize;         // the title: volume name, "Memory" or "Freeing..."
    std::string u64FreeSpace;       // free size text
    std::string u64TotalSpace;      // total size text
    std::uint64_t nFreeSize = 0;    // byte counts behind the level and the alarm
    std::uint64_t nTotalSize = 0;
    std::string errorValue;        // alarm threshold in percent, read as an integer
    std::string volRootDir;        // opened on click
    std::int32_t ViewTag = 0;      // index in the enumeration, 5 for the memory row
    std::int32_t aIsPrograss = 0;  // the settings snapshot's display type, kept only
    bool clicked = false;          // the pointer is over the row

    static constexpr std::uint32_t kMemoryKind = 5;

    // The level image: "%d.png" (rows) or "%d_index.png" (tiles) with the used percent rounded
    // up, or the alarm variant "%d-1.png" / "%d_r_index.png" for local, external and memory rows
    // at or below the threshold; nothing when the total is 0 or the level passes 100.
    std::optional<std::string> getPrograssImage(bool tile = false) const;
    // True when the free percent (rounded down) is at or below the threshold.
    bool getWarningValue() const;
    // The texts turn red: in alarm, and only for local, external and memory rows.
    bool showsAlarmColour() const;
    // The threshold as an integer ("10" and "10.000000" are both 10).
    std::int32_t thresholdPercent() const;

    // A click: a volume row asks for its root to be opened ("openFinderWhenClickItems"); the
    // memory row does nothing. Either way the hover ends.
    void mouseDown();
    // The eject button: ejects the volume through `eject` (by reference number) and asks for a
    // menu rebuild whatever the result.
    void backDisk(const std::function<bool(std::int32_t reference)>& eject);
    // The memory row's purge button: the title becomes "Freeing..." and a purge is requested.
    void cleanMemoryButtonClick();

    // The tile's icon by kind: boot volume, other local, external, optical, network, image.
    static std::string tileIconName(std::uint32_t kind, bool boot);
    // The group header's title key of a kind; empty outside 0 ... 5.
    static std::string groupTitleKey(std::uint32_t kind);
};

}  // namespace quillby
