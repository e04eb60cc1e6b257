// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/DeleteFolderOperation.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "clean/CleanEntryRemover.h"
#include "clean/CleanableEntries.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/fs/DeletionGate.h"
#include "core/work/PrivilegedAuthorization.h"

namespace quillby {

namespace {

bool folderExists(const std::filesystem::path& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
}

}  // namespace

DeleteFolderOperation::DeleteFolderOperation(std::vector<CleanFolder> folderPathArr,
                                             Options options)
    : folderPathArr_(std::move(folderPathArr)), options_(std::move(options)) {
    if (!options_.authorization) {
        options_.authorization = &PrivilegedAuthorization::sharedAuthorization();
    }
    if (!options_.isDeletableFolder) {
        options_.isDeletableFolder = [](const std::filesystem::path& folder) {
            return userMayChangeFolder(folder.string());
        };
    }
}

void DeleteFolderOperation::main() {
    auto& bus = EventBus::defaultCenter();
    bus.post(Events::BeginFastClean);
    if (isCancelled()) {
        bus.post(Events::FastCleanCanceled);
        return;
    }
    for (const auto& folder : folderPathArr_) {
        if (isCancelled()) {
            bus.post(Events::FastCleanCanceled);
            return;
        }
        // A missing folder holds nothing to delete; it is not a protected one.
        if (!folderExists(folder.path)) continue;
        std::vector<std::string> failedPaths;
        std::vector<int> failedErrors;
        if (!options_.isDeletableFolder(folder.path) ||
            !emptyDeletableFolder(folder, failedPaths, failedErrors)) {
            emptyProtectedFolder(folder, failedPaths, failedErrors);
        }
        folder.rule->afterFolderEmptied(folder);
    }
    bus.post(Events::FastCleanFinish);
}

void DeleteFolderOperation::postResult(const CleanableEntry& entry, const RemovalReport& report) {
    UserInfo info{{EventKeys::FilePath, entry.path()}, {EventKeys::FileSize, entry.ownSize}};
    if (report.failed()) {
        info[EventKeys::FailureError] = report.failures.empty() ? 0 : report.failures.front().error;
        EventBus::defaultCenter().post(Events::DeleteFileFailed, {}, std::move(info));
        return;
    }
    // Kept on purpose (a lock file or a mount inside holds it in place): nothing to announce.
    if (!report.removed) return;
    info[EventKeys::EntryCount] = report.removedEntries;
    EventBus::defaultCenter().post(Events::DeleteFileSuccess, {}, std::move(info));
}

bool DeleteFolderOperation::emptyDeletableFolder(const CleanFolder& folder,
                                                 std::vector<std::string>& failedPaths,
                                                 std::vector<int>& failedErrors) {
    auto& bus = EventBus::defaultCenter();
    if (isCancelled()) {
        bus.post(Events::FastCleanCanceled);
        return false;
    }
    bool cancelled = false;
    CleanEntryRemover remover(folder, nullptr);
    CleanableEntries::forEach(folder, [&](const CleanableEntry& entry) {
        if (isCancelled()) {
            bus.post(Events::FastCleanCanceled);
            cancelled = true;
            return false;
        }
        RemovalReport report = remover.remove(entry);
        if (!report.failed()) {
            postResult(entry, report);
            return true;
        }
        // Left for the protected pass, which reports it.
        for (const auto& failure : report.failures) {
            QWLog("Clean deletable folder failed: %s (%s)", failure.path.c_str(),
                  std::strerror(failure.error));
        }
        failedPaths.push_back(entry.path());
        failedErrors.push_back(report.failures.empty() ? 0 : report.failures.front().error);
        return true;
    });
    return !cancelled && failedPaths.empty();
}

void DeleteFolderOperation::emptyProtectedFolder(const CleanFolder& folder,
                                                 const std::vector<std::string>& failedPaths,
                                                 const std::vector<int>& failedErrors) {
    auto& bus = EventBus::defaultCenter();
    if (isCancelled()) {
        bus.post(Events::FastCleanCanceled);
        return;
    }
    // Only a system category may use the rights: a user category's folder is the user's own,
    // and what the user cannot delete there is not the helper's to delete.
    if (folder.privilegedCategory < 0 || !options_.authorization->getAuthorizationRet()) {
        // The folder itself is one the user may not change.
        UserInfo info{{EventKeys::FilePath, folder.path.string()},
                      {EventKeys::FailureError, EACCES}};
        if (!failedPaths.empty()) {
            info[EventKeys::FailedPaths] = failedPaths;
            info[EventKeys::FailedErrors] = failedErrors;
        }
        bus.post(Events::DeleteFileFailed, {}, std::move(info));
        return;
    }
    CleanEntryRemover remover(folder, options_.authorization);
    CleanableEntries::forEach(folder, [&](const CleanableEntry& entry) {
        if (isCancelled()) {
            bus.post(Events::FastCleanCanceled);
            return false;
        }
        RemovalReport report = remover.remove(entry);
        if (report.failed()) QWLog("Delete file failed: %s", entry.path().c_str());
        postResult(entry, report);
        return true;
    });
}

}  // namespace quillby
