// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "clean/CleanFolder.h"
#include "clean/InternalVolumeSource.h"
#include "platform/PlatformContext.h"

namespace quillby {

// Where each clean category looks on this machine, and what it may delete there.
class CategoryFolders {
  public:
    // Folders under the roots of `context`; the trash category asks `volumes` (may be null:
    // then only the home trash is used).
    CategoryFolders(PlatformContext context, std::shared_ptr<const InternalVolumeSource> volumes);

    // The category's folders, whether or not they exist (the package caches, the crash and
    // core-dump folders, Flatpak's application folder, the programs' crash-report folders and
    // the sticky trash folders are the exceptions: only those present are given). The user
    // categories' folders lie inside the home; those of the system categories under the machine's
    // /var. Nothing for an id outside 0 ... 5.
    std::vector<std::filesystem::path> getFolderPath(int category) const;
    // The same folders, each with its category's rule. A folder that is the file-system root,
    // the home folder or a folder above it is left out (logged) unless its rule is made for the
    // home folder: a misconfigured XDG folder must never have a whole home walked and emptied.
    std::vector<CleanFolder> cleanFolders(int category) const;

    // Why the user categories (caches, logs, trash, downloads) give no folders: the home belongs
    // to another user (UserHome::refusal). "" when they may be cleaned.
    std::string userCategoriesRefusal() const;
    // True for the categories of the user's own files.
    static bool isUserCategory(int category);

    // The download folder: XDG_DOWNLOAD_DIR of user-dirs.dirs when it is the user's own folder
    // inside the home, else ~/Downloads. Nothing when user-dirs.dirs sets it to the home folder
    // (the freedesktop way to turn it off).
    std::optional<std::filesystem::path> downloadFolder() const;

  private:
    std::vector<CleanFolder> foldersWithRules(int category) const;
    std::vector<CleanFolder> trashFolders() const;
    // The programs' crash-report folders in the home that exist.
    std::vector<std::filesystem::path> crashReportFolders() const;
    std::vector<CleanFolder> systemFolders(int category) const;
    // A user category's folder from the environment, by the rule of UserHome.
    std::filesystem::path userFolder(const std::filesystem::path& chosen,
                                     const std::filesystem::path& fallback, const char* what) const;
    // A folder reached from the home, every step the user's own.
    CleanFolder inHome(const std::filesystem::path& folder,
                       std::shared_ptr<const CleanRule> rule) const;
    bool holdsHome(const std::filesystem::path& folder) const;

    PlatformContext context_;
    std::shared_ptr<const InternalVolumeSource> volumes_;
};

}  // namespace quillby
