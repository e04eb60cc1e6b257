// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quillby {

// Records a finished clean in the history record, so that the overview's "space has been
// recovered since last clean" sentence tells the bytes that clean really freed and when it
// ended. Every clean records itself, one that freed nothing too. False when the record could
// not be written (logged).
bool recordFinishedClean(std::uint64_t freedBytes);

}  // namespace quillby
