// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanHistory.h"

#include <chrono>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/events/ParseFileLog.h"

namespace quillby {

bool recordFinishedClean(std::uint64_t freedBytes) {
    bool written = ParseFileLog().setSize(freedBytes, std::chrono::system_clock::now());
    if (!written) {
        QWLog("Cannot write the clean history record");
        return false;
    }
    EventBus::defaultCenter().post(Events::CleanRecorded);
    return true;
}

std::optional<RecordedClean> lastRecordedClean() {
    FileLog log;
    ParseFileLog().readFileLog("", log);
    // Only a "SIZE" record comes from a clean; without a file the reader offers a stand-in.
    if (log.logName != "SIZE") return std::nullopt;
    return RecordedClean{log.iSize, log.date};
}

}  // namespace quillby
