// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageRemoval.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "core/events/Log.h"
#include "core/fs/PathRules.h"
#include "core/work/PrivilegedAuthorization.h"
#include "platform/Services.h"

namespace quillby {

namespace {

void logFailure(const RemovalOutcome& outcome) {
    if (outcome.kind == RemovalOutcome::Kind::Refused) {
        QWLog("Remove %s refused: %s", outcome.path.c_str(), outcome.reason().c_str());
    } else if (outcome.kind == RemovalOutcome::Kind::Failed) {
        QWLog("Remove %s failed: %s", outcome.failedEntry.c_str(), outcome.reason().c_str());
    }
}

}  // namespace

DiskUsageRemoval::DiskUsageRemoval() : DiskUsageRemoval(Guard{}) {}

DiskUsageRemoval::DiskUsageRemoval(Guard guard) : guard_(std::move(guard)) {
    if (guard_.homeFolder.empty()) guard_.homeFolder = Services::context().home.string();
}

DeletionGate DiskUsageRemoval::gate() const {
    DeletionGate::Options options;
    options.home = guard_.homeFolder;
    options.caller = ::geteuid();
    return DeletionGate(options);
}

std::vector<std::string> DiskUsageRemoval::minimalCover(const std::vector<std::string>& paths) {
    std::vector<std::string> plain;
    for (const auto& path : paths) {
        // An empty path names nothing; kept, it would cover every other path.
        if (!path.empty()) plain.emplace_back(withoutTrailingSlashes(path));
    }
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

int DiskUsageRemoval::firstError(const std::vector<RemovalOutcome>& results) {
    for (const auto& result : results) {
        if (result.gone()) continue;
        // The browser counts 0 as gone and offers the retry with rights on a permission error,
        // so a refusal must be neither.
        if (result.kind == RemovalOutcome::Kind::Refused) return ENOTSUP;
        return result.error != 0 ? result.error : EIO;
    }
    return 0;
}

std::vector<RemovalOutcome> DiskUsageRemoval::removeItems(
    const std::vector<std::string>& paths) const {
    DeletionGate removalGate = gate();
    std::vector<RemovalOutcome> results;
    for (const auto& path : minimalCover(paths)) {
        results.push_back(removalGate.removeInside(guard_.scanRoot, path, std::nullopt,
                                                   DeletionGate::Disposal::Delete));
        logFailure(results.back());
    }
    return results;
}

std::vector<RemovalOutcome> DiskUsageRemoval::removeWithAdministratorRights(
    const std::vector<std::string>& paths, PrivilegedAuthorization& rights) const {
    bool held = rights.isValidAuth() || rights.allocAuthorization();
    DeletionGate removalGate = gate();
    std::vector<RemovalOutcome> results;
    for (const auto& path : minimalCover(paths)) {
        // Refused and vanished items stay settled; one the user may not even look at is the
        // helper's to judge again.
        auto settled = removalGate.judgeInside(guard_.scanRoot, path, std::nullopt);
        if (settled && !settled->rightsMayHelp()) {
            results.push_back(std::move(*settled));
            continue;
        }
        RemovalOutcome outcome = RemovalOutcome::failed(path, EPERM);
        if (!held) {
            outcome.detail = "administrator rights were not given";
        } else if (std::string why; rights.removeItem(path, &why)) {
            outcome = RemovalOutcome{};
            outcome.path = path;
            outcome.kind = RemovalOutcome::Kind::Removed;
        } else {
            outcome.detail =
                why.empty() ? "it could not be removed with administrator rights either" : why;
        }
        logFailure(outcome);
        results.push_back(std::move(outcome));
    }
    return results;
}

}  // namespace quillby
