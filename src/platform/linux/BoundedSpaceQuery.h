// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/LinuxVolumeSource.h"

namespace quillby {

// Measures the mount points of slow file systems (network storage, FUSE programs) without
// letting a dead server stall the caller or pile up threads: each mount point has at most one
// query running at any time, and the caller waits at most one deadline for all of them.
class BoundedSpaceQuery {
  public:
    explicit BoundedSpaceQuery(LinuxVolumeSource::SpaceQuery query);

    // Asks every mount point whose last query has returned, all at once, and waits at most
    // `deadline` for their answers. A mount point still busy with an earlier query is not asked
    // again; it, one that does not answer in time and one whose query failed give their last
    // figures marked stale (nothing before their first answer).
    std::map<std::string, std::optional<VolumeSpace>> operator()(
        const std::vector<std::string>& mountPoints, std::chrono::milliseconds deadline);

  private:
    struct State;
    LinuxVolumeSource::SpaceQuery query_;
    std::shared_ptr<State> state_;
};

}  // namespace quillby
