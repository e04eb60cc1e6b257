// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/ClearMemory.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/events/Log.h"
#include "platform/Services.h"

namespace quillby {

PurgeTools PurgeTools::find(ProcessLauncher& launcher) {
    PurgeTools tools;
    tools.helper = launcher.findTool("quillby-helper");
    tools.pkexec = launcher.findTool("pkexec");
    tools.selfExecutable = launcher.ownExecutable();
    tools.runningAsRoot = launcher.runningAsAdministrator();
    return tools;
}

ClearMemory::ClearMemory(std::shared_ptr<MemorySource> source,
                         std::shared_ptr<ProcessLauncher> launcher, std::optional<PurgeTools> tools)
    : source_(source ? std::move(source) : Services::get<MemorySource>()),
      launcher_(launcher ? std::move(launcher) : Services::get<ProcessLauncher>()) {
    if (tools) {
        tools_ = std::move(*tools);
    } else if (launcher_) {
        tools_ = PurgeTools::find(*launcher_);
    }
}

ClearMemory::~ClearMemory() = default;

int ClearMemory::getMemoryInfo(MemoryFigures* destination) {
    int result = ENOSYS;
    MemoryCounts counts;
    if (source_ && (result = source_->sample(counts)) == 0) {
        meminfo_[kMemFree] = counts.free;
        meminfo_[kMemInactive] = counts.inactive;
        meminfo_[kMemActive] = counts.active;
        meminfo_[kMemWired] = counts.wired;
        meminfo_[kMemTotal] = counts.total;
        meminfo_[kMemPageIns] = counts.pageIns;
        meminfo_[kMemPageOuts] = counts.pageOuts;
        meminfo_[kMemFaults] = counts.faults;
    }
    meminfo_[kMemUsed] = meminfo_[kMemTotal] - std::min(meminfo_[kMemFree], meminfo_[kMemTotal]);
    meminfo_[kMemReserved] = 0;
    if (destination) *destination = meminfo_;
    noticeFinishedPurge();
    return result;
}

void ClearMemory::noticeFinishedPurge() {
    if (isRunFree_ && task_ && !task_->isRunning()) {
        lastExitStatus_ = task_->terminationStatus();
        QWLog("Task finished. status = %d", *lastExitStatus_);
        isRunFree_ = false;
        task_.reset();
    }
}

std::unique_ptr<LaunchedProcess> ClearMemory::startPurge() {
    std::error_code error;
    if (!tools_.systemTool.empty() && std::filesystem::exists(tools_.systemTool, error)) {
        lastTool_ = PurgeTool::System;
        return launcher_->launch(tools_.systemTool, {});
    }
    if (!tools_.helper.empty()) {
        QWLog("purge = %s", tools_.helper.c_str());
        if (tools_.runningAsRoot) {
            lastTool_ = PurgeTool::Helper;
            return launcher_->launch(tools_.helper, {"purge"});
        }
        if (!tools_.pkexec.empty()) {
            lastTool_ = PurgeTool::Helper;
            return launcher_->launch(tools_.pkexec, {tools_.helper, "purge"});
        }
        QWLog("pkexec is not installed; the helper cannot drop the caches without it");
    }
    if (tools_.selfExecutable.empty()) {
        QWLog("No purge tool was found");
        return nullptr;
    }
    lastTool_ = PurgeTool::Self;
    std::uint64_t freeAndInactive = meminfo_[kMemFree] + meminfo_[kMemInactive];
    return launcher_->launch(tools_.selfExecutable, {"fr", std::to_string(freeAndInactive)});
}

int ClearMemory::clearMemory() {
    if (isRunFree_) {
        getMemoryInfo();
        if (isRunFree_) return 1;
    }
    if (!launcher_) {
        QWLog("No process launcher is installed; cannot purge");
        lastTool_ = PurgeTool::None;
        lastExitStatus_ = 127;
        return 0;
    }
    task_ = startPurge();
    if (!task_) {
        // Nothing runs, so nothing will be seen finishing: record the failure now.
        lastTool_ = PurgeTool::None;
        lastExitStatus_ = 127;
        return 0;
    }
    lastExitStatus_.reset();
    isRunFree_ = true;
    return 0;
}

std::string ClearMemory::purgeFailure() const {
    if (lastTool_ == PurgeTool::System || lastTool_ == PurgeTool::Helper) {
        int status = lastExitStatus_.value_or(0);
        if (status == 0) return {};
        // pkexec exits 126 when the user dismisses the dialog and 127 when not authorised.
        return "the purge ended with status " + std::to_string(status) +
               (status == 126 || status == 127 ? " (not authorised)" : "");
    }
    if (tools_.helper.empty()) return "quillby-helper is not installed";
    if (!tools_.runningAsRoot && tools_.pkexec.empty())
        return "pkexec is needed to run quillby-helper without root";
    return "no purge tool could be started";
}

bool ClearMemory::isRuning() {
    // A purge that ended since the last sample must leave its status behind, or a failed purge
    // would read as one that dropped the caches.
    noticeFinishedPurge();
    return isRunFree_;
}

void ClearMemory::stop() {
    if (task_ && task_->isRunning()) task_->terminate();
}

const char* ClearMemory::purgeModeSize(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "fr") != 0) continue;
        return i + 1 < argc ? argv[i + 1] : nullptr;
    }
    return nullptr;
}

int ClearMemory::freeMemory(int argc, const char* const* argv) {
    const char* size = purgeModeSize(argc, argv);
    if (!size) return -1;
    QWLog("freeMemoy size=%s", size);
    return 0;
}

}  // namespace quillby
