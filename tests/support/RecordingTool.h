// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

#include "support/TempDir.h"

// A stand-in for a system tool: a script `name` in `dir` that waits for the file `release` (when
// given), appends its name and arguments to calls.txt beside it and exits with `status`.
inline std::filesystem::path recordingTool(const TempDir& dir, const std::string& name, int status,
                                           const std::string& release = "") {
    std::string wait =
        release.empty() ? "" : "while [ ! -e '" + release + "' ]; do sleep 0.02; done\n";
    return dir.writeExecutable(name, "#!/bin/sh\n" + wait + "echo \"" + name + " $*\" >> '" +
                                         (dir / "calls.txt").string() + "'\nexit " +
                                         std::to_string(status) + "\n");
}
