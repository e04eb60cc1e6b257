// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace quillby {

// Starts programs with posix_spawn: no shell, standard input inherited, standard output
// discarded and standard error sent to the log, so a tool never writes into the command's own
// output.
class LinuxProcessLauncher final : public ProcessLauncher {
  public:
    std::unique_ptr<LaunchedProcess> launch(const std::string& program,
                                            const std::vector<std::string>& arguments) override;
    std::unique_ptr<LaunchedProcess> launchIn(const std::string& workingFolder,
                                              const std::string& program,
                                              const std::vector<std::string>& arguments) override;
    std::string ownExecutable() override;
    std::string findTool(const std::string& name) override;
    bool runningAsAdministrator() override;

    // Runs a program (a path, or a name looked up on PATH) to its end and gives its exit status
    // (128 + signal when killed), or -1 when it could not start.
    static int runAndWait(const std::string& program, const std::vector<std::string>& arguments);

    // The folder of the running executable.
    static std::filesystem::path executableFolder();
    // The first executable file called `name` in a colon-separated folder list.
    static std::optional<std::filesystem::path> findOnPath(const std::string& name,
                                                           const std::string& path);
};

}  // namespace quillby
