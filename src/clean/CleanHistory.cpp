// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanHistory.h"

#include <chrono>

#include "core/events/Log.h"
#include "core/events/ParseFileLog.h"

namespace quillby {

bool recordFinishedClean(std::uint64_t freedBytes) {
    bool written = ParseFileLog().setSize(freedBytes, std::chrono::system_clock::now());
    if (!written) QWLog("Cannot write the clean history record");
    return written;
}

}  // namespace quillby
