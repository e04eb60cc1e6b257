// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace quillby {

// The oldest kernel the desktop program runs on (statx, preadv2 with RWF_NOWAIT and the
// mount-table poll all work from here on).
inline constexpr unsigned kOldestKernelMajor = 4;
inline constexpr unsigned kOldestKernelMinor = 19;
inline constexpr unsigned kOldestKernelBugFix = 0;

// The checks that run before any window exists: the system version gate, standard error into
// the diagnostic log, and the command-line purge mode. Gives the exit status when the process
// should end now, nothing when it should go on to its event loop. The platform must be installed.
std::optional<int> runProcessEntry(int argc, const char* const* argv);

}  // namespace quillby
