// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "monitor/MountedVolume.h"
#include "platform/VolumeSource.h"

namespace quillby {

class MainQueue;

// Lists the mounted volumes and sorts each into a kind. The list is one object for the life of
// the enumerator: every enumeration empties and refills it. The GUI thread never enumerates
// (statvfs of every mount, network servers that may not answer): it asks for a refresh on a
// worker and reads the list the last one left.
class VolumesInfo {
  public:
    // When the first list is taken: at once (the command line, workers), or by the first
    // refresh (the GUI thread's list, empty until then).
    enum class FirstList { Now, ByRefresh };

    // Through the installed volume source when none is given.
    explicit VolumesInfo(std::shared_ptr<VolumeSource> source = nullptr,
                         FirstList first = FirstList::Now);
    ~VolumesInfo();
    VolumesInfo(const VolumesInfo&) = delete;
    VolumesInfo& operator=(const VolumesInfo&) = delete;

    // Empties the list, enumerates again and gives the list.
    const std::vector<MountedVolume>& getAllVolsInfo();
    // Refills the list from the volume source; volumes of 0 bytes are left out.
    void enumVolumesInfo();
    // Refills the list from an enumeration made elsewhere (the mount watcher's).
    void setFacts(std::vector<VolumeFacts> facts);
    // Enumerates on a worker, then refills the list and calls `done` on `queue`'s thread. A
    // request made while an enumeration runs waits for one more enumeration after it, shared
    // by every request made meanwhile. A list handed to setFacts while it ran is kept instead.
    // Nothing arrives once this object is gone. Call on `queue`'s thread only.
    void refreshInBackground(MainQueue& queue, std::function<void()> done = {});
    // True from a request until its list has arrived.
    bool refreshing() const;
    // The list of the last enumeration.
    const std::vector<MountedVolume>& volsArray() const { return volsArray_; }
    // The platform facts behind the list, in its order.
    const std::vector<VolumeFacts>& facts() const { return facts_; }
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
    struct Refresh;
    void startRefresh(MainQueue& queue);

    std::shared_ptr<VolumeSource> source_;
    std::shared_ptr<Refresh> refresh_;
    std::vector<MountedVolume> volsArray_;
    std::vector<VolumeFacts> facts_;
};

}  // namespace quillby
