// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProcessEntry.h"

#include <cstdio>

#include "core/events/Log.h"
#include "core/text/UtilityFunction.h"
#include "memory/ClearMemory.h"
#include "sysinfo/DiagnosticLog.h"

namespace quillby {

std::optional<int> runProcessEntry(int argc, const char* const* argv) {
    // The gate runs before the log exists; its version line would only clutter the terminal.
    int logFd = logDescriptor();
    setLogDescriptor(-1);
    bool tooOld = UtilityFunction::isBelowSystemVer(kOldestKernelMajor, kOldestKernelMinor,
                                                    kOldestKernelBugFix);
    setLogDescriptor(logFd);
    if (tooOld) {
        std::fprintf(stderr, "Quillby Pro needs Linux %u.%u.%u or later.\n", kOldestKernelMajor,
                     kOldestKernelMinor, kOldestKernelBugFix);
        return 0;
    }

    // Only the desktop program trims the log; the purge child writes into the same file.
    DiagnosticLog::setLogFile("orvane.log", ClearMemory::purgeModeSize(argc, argv) == nullptr);

    int purgeMode = ClearMemory::freeMemory(argc, argv);
    if (purgeMode != -1) return purgeMode;
    return std::nullopt;
}

}  // namespace quillby
