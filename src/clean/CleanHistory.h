// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "core/events/FileLog.h"

namespace quillby {

// Records a finished clean in the history record, so that the overview's "space has been
// recovered since last clean" sentence tells the bytes that clean really freed and when it
// ended. Every clean records itself, one that freed nothing too, and posts "CleanRecorded".
// False when the record could not be written (logged).
bool recordFinishedClean(std::uint64_t freedBytes);

struct RecordedClean {
    std::uint64_t freedBytes = 0;
    std::optional<FileLog::Date> ended;
};

// The last clean the running user's history record holds; nullopt when none was recorded.
std::optional<RecordedClean> lastRecordedClean();

}  // namespace quillby
