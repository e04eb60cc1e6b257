// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/apps/AppItems.h"
#include "core/fs/DeletionGate.h"
#include "uninstall/AppBackends.h"

namespace quillby {

// One thing the removal of an application deletes.
struct RemovalStep {
    enum class Kind {
        File,     // a file, folder or link, removed as itself
        Package,  // a system package, with every file it installed
        Flatpak,  // a Flatpak application
        Snap,     // a snap
    };
    Kind kind = Kind::File;
    std::string target;  // the path, or the package, Flatpak application or snap
    // A file step that moves the user's data to the trash rather than deleting it.
    bool toTrash = false;
    // The folder a file step's item is reached from without links (the home for a program found
    // there); empty: the folder it lies in, as found.
    std::string within;
    // The identity a file step's item had when it was judged; its removal checks it again.
    std::optional<ItemIdentity> identity;

    // How the plan shows the step: the path (with "(to the trash)" when it goes there), or
    // "package vim and the files it installed" and the like.
    std::string description() const;
};

// A step of a removal with what it frees: the bytes of a file step's item (0 for packages,
// whose size the package manager knows).
struct MeasuredStep {
    RemovalStep step;
    std::uint64_t bytes = 0;
};

// Removes applications with their related files: the entries of the user's settings, cache,
// data and state folders named after the application's identifier.
class UninstallApp {
  public:
    explicit UninstallApp(AppBackends backends);

    // The entries directly inside each of `folders` that belong to `bundleID` while the
    // applications of `others` are installed too (RelatedFileRule::belongsTo), folder by folder
    // in listing order. A folder that cannot be read adds none.
    static std::vector<std::string> getFilesByBundle(
        const std::string& bundleID, const std::vector<std::filesystem::path>& folders,
        const std::vector<std::string>& others = {});

    // The identifiers of every installed application, one per application: an entry one of
    // them claims more specifically (the beta's "google-chrome-beta") is never another's
    // related file. Discovery gives them (identifiersOf); without them every name an identifier
    // claims is its application's.
    void setInstalledIdentifiers(std::vector<std::string> identifiers) {
        installedIdentifiers_ = std::move(identifiers);
    }
    static std::vector<std::string> identifiersOf(const std::vector<AppItems>& apps);

    // The folders searched for related files: the user's settings, cache, data and state
    // folders and ~/.var/app (Flatpak's per-application folders).
    std::vector<std::filesystem::path> relatedFileFolders() const;
    // The related files of an application: getFilesByBundle of its identifier against the
    // other installed applications', and for a snap its ~/snap/NAME.
    std::vector<std::string> relatedFiles(const AppItems& app) const;

    // What removing `app` deletes, in order: an application that is its own file (a user
    // entry, an AppImage, an entry no package owns) loses its related files first, then its login
    // items, the program it starts from the home with the program's own folder
    // (UserProgramFiles), and its file last; one removed by a package manager, Flatpak or snapd
    // is removed first, so that a refusal leaves the rest in place. Related files outside the
    // cache folder (the user's settings and data), login items and the program go to the trash
    // unless the removal is permanent. Reads the disk: a page calls it on a worker.
    std::vector<RemovalStep> removalPlan(const AppItems& app) const;

    // removalPlan with every file step measured: what the confirmation shows. Reads the disk,
    // so a page calls it on a worker.
    std::vector<MeasuredStep> measuredPlan(const AppItems& app) const;

    // Removes `app` step by step along removalPlan; stops at the first step that fails, leaving
    // the rest in place. True when every step succeeded. Logs "Del App Name:%@  Path:%@" first.
    bool uninstallApp(const AppItems& app);

    // True when removing `app` needs the administrator rights held for the helper: a package
    // when PackageKit is not there (root too: the helper then starts without asking), or an
    // entry in a folder the user may not change.
    bool needsAdministrator(const AppItems& app) const;

    // Deletes related files instead of moving them to the trash.
    void setPermanent(bool permanent) { permanent_ = permanent; }
    // Asked before deleting an item the trash cannot take (it lies on another disk); without
    // it, or when it says no, the item stays and the step fails.
    std::function<bool(const std::string& path)> confirmPermanentRemoval;

    // True for this program's own entry, which is never removed.
    static bool isOwnApplication(const AppItems& app);

    // Why steps failed, one line each ("PATH: reason"), since this object was made.
    const std::vector<std::string>& failures() const { return failures_; }
    // True when the last uninstallApp stopped at a step that administrator rights, not held
    // then, would have done: the application's own entry in a folder the user may not change,
    // or a package with no way to remove it as the user.
    bool lastFailureNeedsRights() const { return lastFailureNeedsRights_; }

  private:
    bool perform(const RemovalStep& step, const AppItems& app);
    // Why the system entry `entry` may not be deleted as a file (a package installed it); ""
    // when no package did.
    std::string packageOwning(const std::string& entry) const;
    DeletionGate::Options gateOptions() const;
    RemovalOutcome throughGate(const RemovalStep& step, DeletionGate::Disposal disposal) const;
    bool removeFile(const RemovalStep& step, bool mayUseRights);
    bool trashFile(const RemovalStep& step);
    bool removePackage(const std::string& package, const std::string& entry);

    AppBackends backends_;
    std::vector<std::string> failures_;
    std::vector<std::string> installedIdentifiers_;
    bool permanent_ = false;
    bool lastFailureNeedsRights_ = false;
    std::optional<DeletionGate> gate_;  // made by each uninstallApp for its steps
};

}  // namespace quillby
