// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/LinuxVolumeSource.h"

namespace quillby {

// Measures a mount point without letting a dead server stall the caller: the query runs on a
// thread of its own and the caller waits at most `deadline`. A query that does not answer in
// time leaves the last figures it gave (nothing the first time), and no second query is started
// for that mount point until it returns. Meant for network volumes, measured on every tick of
// the main thread.
class BoundedSpaceQuery {
  public:
    BoundedSpaceQuery(LinuxVolumeSource::SpaceQuery query, std::chrono::milliseconds deadline);

    std::optional<VolumeSpace> operator()(const std::string& mountPoint);

  private:
    struct State;
    LinuxVolumeSource::SpaceQuery query_;
    std::chrono::milliseconds deadline_;
    std::shared_ptr<State> state_;
};

}  // namespace quillby
