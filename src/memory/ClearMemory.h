// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "memory/MemoryFigures.h"
#include "platform/MemorySource.h"
#include "platform/ProcessLauncher.h"

namespace quillby {

// The programs a purge may start, tried in this order: the system's own purge tool, the
// program's privileged helper ("quillby-helper purge", through pkexec unless already root), and
// last the program itself in its "fr" mode, which only logs.
struct PurgeTools {
    std::string systemTool;      // empty: Linux has no system purge tool
    std::string helper;          // quillby-helper; empty when not installed
    std::string pkexec;          // pkexec; empty when not installed
    std::string selfExecutable;  // the program with the "fr" mode
    bool runningAsRoot = false;

    // The tools of this machine, found through the launcher.
    static PurgeTools find(ProcessLauncher& launcher);
};

// Samples memory and runs purges. A purge is started and never waited for: later samples
// notice that it ended.
class ClearMemory {
  public:
    enum class PurgeTool { None, System, Helper, Self };

    // Missing services come from the installed platform; missing tools are looked up.
    explicit ClearMemory(std::shared_ptr<MemorySource> source = nullptr,
                         std::shared_ptr<ProcessLauncher> launcher = nullptr,
                         std::optional<PurgeTools> tools = std::nullopt);
    ~ClearMemory();
    ClearMemory(const ClearMemory&) = delete;
    ClearMemory& operator=(const ClearMemory&) = delete;

    // Samples into the runner's figures (a failed sample keeps the previous ones), copies them to
    // `destination` when given, and notices a finished purge ("Task finished. status = %d").
    // Gives 0, or the error number of a failed sample.
    int getMemoryInfo(MemoryFigures* destination = nullptr);
    // Starts a purge; 1 when one is still running and nothing was started, else 0.
    int clearMemory();
    // True while a started purge runs; a finished one is noticed (its status recorded) here too.
    bool isRuning();
    // Ends a running purge.
    void stop();

    // The latest figures.
    const MemoryFigures& meminfo() const { return meminfo_; }
    // Which tool the last purge started (None when it could not start).
    PurgeTool lastTool() const { return lastTool_; }
    // The exit status of the last purge seen finished (127 when it could not start).
    std::optional<int> lastExitStatus() const { return lastExitStatus_; }
    // Why the last purge seen finished left the caches as they were, in words; empty when it
    // dropped them. Only the system tool and the helper drop caches: the "fr" mode only logs.
    std::string purgeFailure() const;
    const PurgeTools& tools() const { return tools_; }

    // The "fr" mode: when the arguments after the program name hold "fr" followed by another
    // argument, logs "freeMemoy size=<that argument>" and gives 0 (end the process with status
    // 0). Otherwise gives -1 (start normally).
    static int freeMemory(int argc, const char* const* argv);
    // The size argument of the "fr" mode, or nullptr when the arguments do not ask for it.
    static const char* purgeModeSize(int argc, const char* const* argv);

  private:
    std::unique_ptr<LaunchedProcess> startPurge();
    // Records the exit status of a purge that has ended and forgets its process.
    void noticeFinishedPurge();

    std::shared_ptr<MemorySource> source_;
    std::shared_ptr<ProcessLauncher> launcher_;
    PurgeTools tools_;
    MemoryFigures meminfo_{};
    bool isRunFree_ = false;
    std::unique_ptr<LaunchedProcess> task_;
    PurgeTool lastTool_ = PurgeTool::None;
    std::optional<int> lastExitStatus_;
};

}  // namespace quillby
