// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/apps/AppItems.h"
#include "uninstall/AppBackends.h"
#include "uninstall/ApplicationFolders.h"

namespace quillby {

// Finds the installed applications: walks the application folders for desktop entries and
// AppImages, builds one record for each, and asks the package manager, Flatpak and snapd which
// of them they installed and at which version.
class UninstallAppDelegate {
  public:
    explicit UninstallAppDelegate(AppBackends backends);

    // Runs discovery and appends one new record per application found, in search order; does
    // nothing when `appsInfo` is null.
    void getAppInfo(std::vector<AppItems>* appsInfo);

    // The bundle walk: appends to `paths` every file below `folder` whose extension is exactly
    // `bundleExtension` (case-sensitive, without the dot); a folder with that extension is not
    // entered, every other folder is walked, with links followed (each folder once per route,
    // so a link back up ends the route). A folder that cannot be read adds nothing.
    static void applicationsInDirectory(const std::filesystem::path& folder,
                                        std::vector<std::string>* paths,
                                        std::string_view bundleExtension);

    // A record for the desktop entry or AppImage at `path`, without what the package manager,
    // Flatpak or snapd know. Nothing when the file is no application the desktop would list
    // (not an application entry, NoDisplay or Hidden, unreadable, outside the folders).
    std::optional<AppItems> constructAppItem(const std::string& path) const;

    // The desktop-file ID of an entry at `relative` inside an applications folder:
    // "Games/chess.desktop" gives "Games-chess.desktop".
    static std::string desktopFileId(const std::filesystem::path& relative);

    const std::vector<ApplicationFolder>& folders() const { return folders_; }

  private:
    std::optional<AppItems> constructEntryItem(const std::filesystem::path& path,
                                               const ApplicationFolder& folder) const;
    // Paths of desktop entries hidden by an entry of the same ID in a folder that ranks first.
    std::vector<bool> shadowedEntries(const std::vector<std::string>& paths) const;
    void addPackages(std::vector<AppItems>& items) const;
    void addFlatpakVersions(std::vector<AppItems>& items) const;
    void addSnapVersions(std::vector<AppItems>& items) const;

    AppBackends backends_;
    std::vector<ApplicationFolder> folders_;
};

}  // namespace quillby
