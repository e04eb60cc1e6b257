// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallApp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/events/Log.h"
#include "core/fs/FolderUtilities.h"
#include "core/fs/UserHome.h"
#include "core/work/PrivilegedAuthorization.h"
#include "uninstall/RelatedFileRule.h"
#include "uninstall/UserProgramFiles.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

bool isUnitRemoval(AppSource source) {
    return source == AppSource::Package || source == AppSource::Flatpak ||
           source == AppSource::Snap;
}

// The user's settings, cache, data and state folders. Those named by the environment count only
// by the rule of UserHome: run as root with XDG_CONFIG_HOME on a shared folder, the entries of
// other users there must not be taken for an application's related files.
struct UserDataFolders {
    fs::path config, cache, data, state;
};

UserDataFolders userDataFolders(const PlatformContext& context) {
    UserHome home(context.home, context.uid);
    return {
        home.folderFromEnvironment(context.xdgConfigHome, context.home / ".config",
                                   "XDG_CONFIG_HOME"),
        home.folderFromEnvironment(context.xdgCacheHome, context.home / ".cache", "XDG_CACHE_HOME"),
        home.folderFromEnvironment(context.xdgDataHome, context.home / ".local/share",
                                   "XDG_DATA_HOME"),
        home.folderFromEnvironment(context.xdgStateHome, context.home / ".local/state",
                                   "XDG_STATE_HOME")};
}

bool entryExists(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

std::string RemovalStep::description() const {
    switch (kind) {
        case Kind::Package:
            return "package " + target + " and the files it installed";
        case Kind::Flatpak:
            return "Flatpak application " + target;
        case Kind::Snap:
            return "snap " + target;
        case Kind::File:
            break;
    }
    return toTrash ? target + " (to the trash)" : target;
}

UninstallApp::UninstallApp(AppBackends backends) : backends_(std::move(backends)) {}

std::vector<std::string> UninstallApp::getFilesByBundle(const std::string& bundleID,
                                                        const std::vector<fs::path>& folders,
                                                        const std::vector<std::string>& others) {
    std::vector<std::string> paths;
    for (const auto& folder : folders) {
        std::error_code error;
        fs::directory_iterator entries(folder, error);
        if (error) continue;
        for (; entries != fs::directory_iterator(); entries.increment(error)) {
            if (error) break;
            if (RelatedFileRule::belongsTo(entries->path().filename().string(), bundleID, others)) {
                paths.push_back(entries->path().string());
            }
        }
    }
    return paths;
}

std::vector<fs::path> UninstallApp::relatedFileFolders() const {
    UserDataFolders folders = userDataFolders(backends_.context);
    return {folders.config, folders.cache, folders.data, folders.state,
            backends_.context.home / ".var/app"};
}

std::vector<std::string> UninstallApp::identifiersOf(const std::vector<AppItems>& apps) {
    std::vector<std::string> identifiers;
    for (const auto& app : apps) {
        if (app.bundleID && !app.bundleID->empty()) identifiers.push_back(*app.bundleID);
    }
    return identifiers;
}

std::vector<std::string> UninstallApp::relatedFiles(const AppItems& app) const {
    std::vector<std::string> paths;
    if (app.bundleID && !app.bundleID->empty()) {
        // The application's own identifier counts once: another of the same is a second
        // application sharing its entries.
        std::vector<std::string> others = installedIdentifiers_;
        if (auto own = std::find(others.begin(), others.end(), *app.bundleID);
            own != others.end()) {
            others.erase(own);
        }
        paths = getFilesByBundle(*app.bundleID, relatedFileFolders(), others);
    }
    // The snap's name comes from its entry: it must name a folder inside ~/snap.
    const std::string& snap = app.removalUnit;
    bool plainName =
        !snap.empty() && snap != "." && snap != ".." && snap.find('/') == std::string::npos;
    if (app.source == AppSource::Snap && plainName) {
        fs::path snapFolder = backends_.context.home / "snap" / app.removalUnit;
        if (entryExists(snapFolder)) paths.push_back(snapFolder.string());
    }
    return paths;
}

std::vector<RemovalStep> UninstallApp::removalPlan(const AppItems& app) const {
    std::vector<RemovalStep> steps;
    if (isUnitRemoval(app.source)) {
        RemovalStep::Kind kind = app.source == AppSource::Package   ? RemovalStep::Kind::Package
                                 : app.source == AppSource::Flatpak ? RemovalStep::Kind::Flatpak
                                                                    : RemovalStep::Kind::Snap;
        steps.push_back({kind, app.removalUnit});
    }
    // An item inside one planned already goes with it.
    auto add = [&](RemovalStep step) {
        fs::path target = fs::path(step.target).lexically_normal();
        bool covered = std::any_of(steps.begin(), steps.end(), [&](const RemovalStep& earlier) {
            if (earlier.kind != RemovalStep::Kind::File) return false;
            fs::path relative = target.lexically_relative(fs::path(earlier.target));
            return !relative.empty() && *relative.begin() != "..";
        });
        if (!covered) steps.push_back(std::move(step));
    };
    const UserDataFolders folders = userDataFolders(backends_.context);
    for (auto& path : relatedFiles(app)) {
        // Settings and data may be missed later; caches are made again by the program.
        bool isCache = fs::path(path).lexically_normal().parent_path() == folders.cache;
        add({RemovalStep::Kind::File, path, !permanent_ && !isCache});
    }
    std::optional<DeletionGate> ownGate;
    const DeletionGate& gate = gate_ ? *gate_ : ownGate.emplace(gateOptions());
    UserProgramFiles found(backends_.context, folders.config, gate);
    std::vector<FoundItem> program = found.program(app);
    std::vector<FoundItem> programs = program;
    if (app.source == AppSource::AppImage) programs.push_back({app.path, {}});
    // What was found rather than listed by the user goes where it can be put back.
    for (auto& item : found.loginItems(app, programs)) {
        add({RemovalStep::Kind::File, item.path, !permanent_, "", item.identity});
    }
    for (auto& item : program) {
        add({RemovalStep::Kind::File, item.path, !permanent_, backends_.context.home.string(),
             item.identity});
    }
    if (!isUnitRemoval(app.source)) add({RemovalStep::Kind::File, app.path});
    return steps;
}

std::vector<MeasuredStep> UninstallApp::measuredPlan(const AppItems& app) const {
    std::vector<MeasuredStep> measured;
    for (auto& step : removalPlan(app)) {
        std::uint64_t bytes = step.kind == RemovalStep::Kind::File
                                  ? FolderUtilities::sizeOfItemAtPath(step.target)
                                  : 0;
        measured.push_back({std::move(step), bytes});
    }
    return measured;
}

bool UninstallApp::uninstallApp(const AppItems& app) {
    QWLog("Del App Name:%s  Path:%s", app.bundleID.value_or("").c_str(), app.path.c_str());
    lastFailureNeedsRights_ = false;
    // Discovery may have failed to ask the package manager: a packaged entry deleted as a file
    // would leave its package broken, so it is asked again before anything goes.
    if (app.source == AppSource::LocalEntry) {
        if (std::string why = packageOwning(app.path); !why.empty()) {
            QWLog("Removing %s refused: %s", app.path.c_str(), why.c_str());
            failures_.push_back(app.path + ": " + why);
            return false;
        }
    }
    // One gate for the application's every step: it reads what it protects once.
    gate_.emplace(gateOptions());
    for (const auto& step : removalPlan(app)) {
        if (!perform(step, app)) return false;
    }
    return true;
}

bool UninstallApp::perform(const RemovalStep& step, const AppItems& app) {
    std::string why;
    bool done = false;
    switch (step.kind) {
        case RemovalStep::Kind::File:
            if (step.toTrash) return trashFile(step);
            return removeFile(step, step.target == app.path && app.source == AppSource::LocalEntry);
        case RemovalStep::Kind::Package:
            return removePackage(step.target, app.path);
        case RemovalStep::Kind::Flatpak:
            if (!backends_.flatpak) {
                why = "Flatpak cannot be reached";
            } else {
                done = backends_.flatpak->uninstall(step.target, app.installation, why);
            }
            break;
        case RemovalStep::Kind::Snap:
            if (!backends_.snap) {
                why = "snapd cannot be reached";
            } else {
                done = backends_.snap->remove(step.target, why);
            }
            break;
    }
    if (!done) {
        QWLog("Removing %s failed: %s", step.description().c_str(), why.c_str());
        failures_.push_back(step.description() + ": " + why);
    }
    return done;
}

std::string UninstallApp::packageOwning(const std::string& entry) const {
    if (!backends_.packageManager) return "";
    auto owners = backends_.packageManager->owningPackages({entry});
    auto owner = owners.find(entry);
    if (owner == owners.end()) return "";
    return "installed by package " + owner->second.name + ", so only its removal may delete it";
}

DeletionGate::Options UninstallApp::gateOptions() const {
    DeletionGate::Options options;
    options.home = backends_.context.home.string();
    options.dataHome = userDataFolders(backends_.context).data.string();
    options.caller = ::geteuid();
    return options;
}

RemovalOutcome UninstallApp::throughGate(const RemovalStep& step,
                                         DeletionGate::Disposal disposal) const {
    // The folder the item was found from is reached as it is; nothing below it through a link.
    std::string folder =
        step.within.empty() ? fs::path(step.target).parent_path().string() : step.within;
    return gate_->removeInside(folder, step.target, step.identity, disposal);
}

bool UninstallApp::removeFile(const RemovalStep& step, bool mayUseRights) {
    const std::string& path = step.target;
    RemovalOutcome outcome = throughGate(step, DeletionGate::Disposal::Delete);
    if (outcome.gone()) return true;
    PrivilegedAuthorization& rights = backends_.rights();
    std::string why;
    if (mayUseRights && outcome.rightsMayHelp()) {
        if (!rights.isValidAuth()) {
            lastFailureNeedsRights_ = true;
        } else if (rights.removeItem(path, &why)) {
            return true;
        }
    }
    QWLog("Remove %s failed: %s", path.c_str(), outcome.reason().c_str());
    failures_.push_back(path + ": " + (why.empty() ? outcome.reason() : why));
    return false;
}

bool UninstallApp::trashFile(const RemovalStep& step) {
    const std::string& path = step.target;
    RemovalOutcome outcome = throughGate(step, DeletionGate::Disposal::Trash);
    if (outcome.gone()) return true;
    if (outcome.kind == RemovalOutcome::Kind::Failed && outcome.error == EXDEV) {
        if (confirmPermanentRemoval && confirmPermanentRemoval(path)) {
            return removeFile(step, false);
        }
        failures_.push_back(path +
                            ": no trash can take it (it lies on another disk), and "
                            "deleting it for good was not confirmed");
        return false;
    }
    failures_.push_back(path + ": cannot be moved to the trash: " + outcome.reason());
    return false;
}

bool UninstallApp::removePackage(const std::string& package, const std::string& entry) {
    std::string why;
    if (backends_.packageRemoval && backends_.packageRemoval->isRunning()) {
        if (backends_.packageRemoval->removePackage(package, entry, why)) return true;
    } else if (AuthorizationRef helper = backends_.rights().getAuthorizationRet()) {
        auto answer = helper->request("remove-package", package + " " + entry);
        if (answer && *answer == "ok") return true;
        why = !answer                         ? "the privileged helper has gone"
              : answer->starts_with("error ") ? answer->substr(6)
                                              : *answer;
    } else {
        why = "administrator rights are needed";
        lastFailureNeedsRights_ = true;
    }
    QWLog("Removing package %s failed: %s", package.c_str(), why.c_str());
    failures_.push_back("package " + package + ": " + why);
    return false;
}

bool UninstallApp::needsAdministrator(const AppItems& app) const {
    if (app.source == AppSource::Package) {
        // Even root removes packages through the helper (started without asking then).
        return !backends_.packageRemoval || !backends_.packageRemoval->isRunning();
    }
    if (app.source == AppSource::LocalEntry) {
        return !userMayChangeFolder(fs::path(app.path).parent_path());
    }
    return false;
}

bool UninstallApp::isOwnApplication(const AppItems& app) {
    return app.bundleID == PlatformContext::bundleIdentifier;
}

}  // namespace quillby
