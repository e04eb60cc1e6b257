// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/PlatformContext.h"

namespace quillby {

// What a folder searched for applications holds, which decides how its finds are read.
enum class ApplicationFolderKind {
    SystemEntries,   // a data folder's "applications" (the distribution, /usr/local)
    FlatpakEntries,  // the desktop entries Flatpak exports for one installation
    SnapEntries,     // the desktop entries snapd exports
    UserEntries,     // the user's own "applications" folder
    AppImages,       // a folder of the user's AppImages
};

// One folder searched for applications.
struct ApplicationFolder {
    std::filesystem::path path;
    ApplicationFolderKind kind;
    // Flatpak folders: the installation ("user" or "system").
    std::string installation;
    // Among folders of desktop entries, lower ranks hide entries of the same ID in higher ones
    // (the user's folder first, then the data folders in their order), as the desktop does.
    int rank = 0;
};

// The folders discovery searches, in search order: every data folder's "applications" (with
// Flatpak's exports in front and snapd's at the end when present and not listed already), then
// the user's "applications", then ~/Applications and ~/.local/bin for AppImages.
class ApplicationFolders {
  public:
    static std::vector<ApplicationFolder> forContext(const PlatformContext& context);

    // The folder of `folders` that holds `path` (the deepest one), or nullptr.
    static const ApplicationFolder* folderHolding(const std::vector<ApplicationFolder>& folders,
                                                  const std::filesystem::path& path);
};

}  // namespace quillby
