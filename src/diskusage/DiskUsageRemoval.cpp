#include "diskusage/DiskUsageRemoval.h"

#include <fcntl.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/EntryStatus.h"
#include "core/Log.h"
#include "core/PathRules.h"
#include "core/PrivilegedAuthorization.h"
#include "core/TreeRemover.h"
#include "platform/Services.h"

namespace {

bool fileSystemMountPoint(const std::string& path) {
    auto status = entryStatusAt(AT_FDCWD, path.c_str());
    if (!status) return false;
    if (status->isMountRoot) return true;
    // Kernels that do not report mount roots: a folder on another disk than its parent's.
    auto split = splitAbsolutePath(path);
    auto parent = split ? entryStatusAt(AT_FDCWD, split->first.c_str()) : std::nullopt;
    return parent && parent->device != status->device;
}

DiskUsageRemovalResult refused(const std::string& path, std::string reason) {
    DiskUsageRemovalResult result;
    result.path = path;
    result.outcome = DiskUsageRemovalResult::Outcome::Refused;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

DiskUsageRemoval::DiskUsageRemoval() : DiskUsageRemoval(Guard{}) {}

DiskUsageRemoval::DiskUsageRemoval(Guard guard) : guard_(std::move(guard)) {
    if (guard_.homeFolder.empty()) guard_.homeFolder = Services::context().home.string();
    guard_.homeFolder = std::string(withoutTrailingSlashes(guard_.homeFolder));
    if (!guard_.isMountPoint) guard_.isMountPoint = fileSystemMountPoint;
}

std::vector<std::string> DiskUsageRemoval::minimalCover(const std::vector<std::string>& paths) {
    std::vector<std::string> plain;
    for (const auto& path : paths) plain.emplace_back(withoutTrailingSlashes(path));
    std::vector<std::string> cover;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < plain.size() && !covered; ++j) {
            // Inside another item, or the same item listed before.
            covered = liesInside(plain[i], plain[j]) || (j < i && plain[i] == plain[j]);
        }
        if (!covered) cover.push_back(plain[i]);
    }
    return cover;
}

std::optional<std::string> DiskUsageRemoval::refusal(const std::string& path) const {
    std::string plain(withoutTrailingSlashes(path));
    if (plain == "/") return "the root of the file system";
    if (!isNormalizedAbsolutePath(plain)) return "not an absolute path in its plain form";
    if (pathComponentCount(plain) == 1) return "a top-level system folder";
    if (plain == guard_.homeFolder) return "your home folder";
    if (liesInside(guard_.homeFolder, plain)) return "it holds your home folder";
    if (guard_.isMountPoint(plain)) return "a mount point";
    return std::nullopt;
}

std::optional<DiskUsageRemovalResult> DiskUsageRemoval::settledWithoutRemoving(
    const std::string& path) const {
    if (auto reason = refusal(path)) return refused(path, *reason);
    // Judged without following a link: a dangling link exists and is removed as itself.
    if (!entryStatusAt(AT_FDCWD, path.c_str()) && errno == ENOENT) {
        DiskUsageRemovalResult result;
        result.path = path;
        result.outcome = DiskUsageRemovalResult::Outcome::Vanished;
        return result;
    }
    return std::nullopt;
}

DiskUsageRemovalResult DiskUsageRemoval::removeOne(const std::string& path) const {
    if (auto settled = settledWithoutRemoving(path)) return std::move(*settled);
    DiskUsageRemovalResult result;
    result.path = path;
    RemovalReport report = TreeRemover().removePath(path, true);
    if (report.removed && !report.failed()) {
        result.outcome = DiskUsageRemovalResult::Outcome::Removed;
        return result;
    }
    result.outcome = DiskUsageRemovalResult::Outcome::Failed;
    result.error = report.failures.empty() ? EIO : report.failures.front().error;
    result.reason = std::strerror(result.error);
    result.needsAdministrator =
        std::any_of(report.failures.begin(), report.failures.end(),
                    [](const RemovalFailure& failure) { return failure.wantsRights(); });
    for (const auto& failure : report.failures) {
        QWLog("Clean deletable file failed: %s-%s", failure.path.c_str(),
              std::strerror(failure.error));
    }
    return result;
}

std::vector<DiskUsageRemovalResult> DiskUsageRemoval::removeItems(
    const std::vector<std::string>& paths) const {
    std::vector<DiskUsageRemovalResult> results;
    for (const auto& path : minimalCover(paths)) results.push_back(removeOne(path));
    return results;
}

std::vector<DiskUsageRemovalResult> DiskUsageRemoval::removeWithAdministratorRights(
    const std::vector<std::string>& paths, PrivilegedAuthorization& rights) const {
    bool held = rights.isValidAuth() || rights.allocAuthorization();
    std::vector<DiskUsageRemovalResult> results;
    for (const auto& path : minimalCover(paths)) {
        if (auto settled = settledWithoutRemoving(path)) {
            results.push_back(std::move(*settled));
            continue;
        }
        DiskUsageRemovalResult result;
        result.path = path;
        if (!held) {
            result.error = EPERM;
            result.reason = "administrator rights were not given";
        } else if (rights.removeItem(path)) {
            result.outcome = DiskUsageRemovalResult::Outcome::Removed;
        } else {
            result.error = EPERM;
            result.reason = "it could not be removed with administrator rights either";
            QWLog("Clean deletable file failed: %s-%s", path.c_str(), result.reason.c_str());
        }
        results.push_back(std::move(result));
    }
    return results;
}
