// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "monitor/MountedVolume.h"
#include "platform/VolumeSource.h"

namespace quillby {

// Lists the mounted volumes and sorts each into a kind. The list is one object for the life of
// the enumerator: every enumeration empties and refills it.
class VolumesInfo {
  public:
    // Enumerates at once, through the installed volume source when none is given.
    explicit VolumesInfo(std::shared_ptr<VolumeSource> source = nullptr);

    // Empties the list, enumerates again and gives the list.
    const std::vector<MountedVolume>& getAllVolsInfo();
    // Refills the list from the volume source; volumes of 0 bytes are left out.
    void enumVolumesInfo();
    // The list of the last enumeration.
    const std::vector<MountedVolume>& volsArray() const { return volsArray_; }
    // The first record with the boot flag, or nullptr.
    const MountedVolume* getBootVolume() const;
    // The platform facts behind the record with this reference number, from the last
    // enumeration.
    std::optional<VolumeFacts> factsOf(std::int32_t refNumber) const;

    // Kind rule, first match wins: network 3, optical 2, external bus 1, removable 4, else 0.
    static std::int32_t getVolumeType(const VolumeFacts& facts);
    // Eject rule: network or external bus, else the platform's ejectable flag.
    static bool getVolEjectFlag(const VolumeFacts& facts);
    // The record of one volume: sizes and their texts, kind, eject flag (always for an optical
    // disc), boot flag and icon.
    static MountedVolume makeRecord(const VolumeFacts& facts);
    // The desktop icon-theme name of a kind.
    static const char* iconNameForKind(std::int32_t kind);

  private:
    std::shared_ptr<VolumeSource> source_;
    std::vector<MountedVolume> volsArray_;
    std::vector<VolumeFacts> facts_;
};

}  // namespace quillby
