// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quillby {

// A started child process that the program polls instead of waiting for.
class LaunchedProcess {
  public:
    virtual ~LaunchedProcess() = default;
    // True while the process has not ended.
    virtual bool isRunning() = 0;
    // The exit status once ended (128 + signal for a killed one); -1 while running.
    virtual int terminationStatus() = 0;
    // Asks a running process to end.
    virtual void terminate() = 0;
};

// Starts programs without a shell, so that no argument is ever interpreted.
class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // Starts `program` (an absolute path) with `arguments`; nullptr when it could not start.
    virtual std::unique_ptr<LaunchedProcess> launch(const std::string& program,
                                                    const std::vector<std::string>& arguments) = 0;
    // The same, the process starting in the folder `workingFolder` (a terminal opened there);
    // nullptr where a launcher cannot choose the folder.
    virtual std::unique_ptr<LaunchedProcess> launchIn(const std::string& workingFolder,
                                                      const std::string& program,
                                                      const std::vector<std::string>& arguments) {
        (void)workingFolder;
        (void)program;
        (void)arguments;
        return nullptr;
    }
    // The program file of the running process.
    virtual std::string ownExecutable() = 0;
    // The path of a tool of this program or of the system, found beside the running program
    // first, then in the libexec folder of its installation, then on the search path; empty
    // when there is none.
    virtual std::string findTool(const std::string& name) = 0;
    // True when the process already has administrator rights.
    virtual bool runningAsAdministrator() = 0;
};

}  // namespace quillby
