// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageRemoval.h"

#include <unistd.h>
#include <cerrno>
#include <memory>
#include <optional>

#include "core/events/Log.h"
#include "core/fs/PathRules.h"
#include "core/fs/UserHome.h"
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
    if (guard_.dataHome.empty()) {
        // Taken from the environment only by the rule of the user's home: run as root with
        // XDG_DATA_HOME on a shared folder, trashed items must not land among another user's.
        const PlatformContext& context = Services::context();
        guard_.dataHome = UserHome(context.home, context.uid)
                              .folderFromEnvironment(context.xdgDataHome,
                                                     context.home / ".local/share", "XDG_DATA_HOME")
                              .string();
    }
}

DeletionGate DiskUsageRemoval::gate() const {
    DeletionGate::Options options;
    options.home = guard_.homeFolder;
    options.dataHome = guard_.dataHome;
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

RemovalOutcome DiskUsageRemoval::removeItem(const std::string& path, Disposal disposal) const {
    RemovalOutcome outcome = gate().removeInside(guard_.scanRoot, path, std::nullopt, disposal);
    logFailure(outcome);
    return outcome;
}

std::vector<RemovalOutcome> DiskUsageRemoval::removeItems(const std::vector<std::string>& paths,
                                                          Disposal disposal) const {
    DeletionGate removalGate = gate();
    std::vector<RemovalOutcome> results;
    for (const auto& path : minimalCover(paths)) {
        results.push_back(removalGate.removeInside(guard_.scanRoot, path, std::nullopt, disposal));
        logFailure(results.back());
    }
    return results;
}

DiskUsageRemoval::PrivilegedRemover DiskUsageRemoval::privilegedRemover(
    PrivilegedAuthorization& rights) const {
    auto held = std::make_shared<std::optional<bool>>();
    return [removal = *this, &rights, held](const std::string& path) {
        // Refused and vanished items stay settled; one the user may not even look at is the
        // helper's to judge again.
        auto settled = removal.gate().judgeInside(removal.guard_.scanRoot, path, std::nullopt);
        if (settled && !settled->rightsMayHelp()) return std::move(*settled);
        // Asked once: a password dialog per item would be a dialog too many.
        if (!*held) *held = rights.isValidAuth() || rights.allocAuthorization();
        RemovalOutcome outcome = RemovalOutcome::failed(path, EPERM);
        if (!**held) {
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
        return outcome;
    };
}

std::vector<RemovalOutcome> DiskUsageRemoval::removeWithAdministratorRights(
    const std::vector<std::string>& paths, PrivilegedAuthorization& rights) const {
    PrivilegedRemover remove = privilegedRemover(rights);
    std::vector<RemovalOutcome> results;
    for (const auto& path : minimalCover(paths)) results.push_back(remove(path));
    return results;
}

DiskUsageRemoval::PathRemover DiskUsageRemoval::pathRemover() const {
    return [removal = *this](const std::string& path, Disposal disposal) {
        return removal.removeItem(path, disposal);
    };
}

std::function<DiskUsageRemoval::PrivilegedRemover()> DiskUsageRemoval::rightsRemover() const {
    return [removal = *this] {
        return removal.privilegedRemover(PrivilegedAuthorization::sharedAuthorization());
    };
}

}  // namespace quillby
