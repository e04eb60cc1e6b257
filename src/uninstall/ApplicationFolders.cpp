// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/ApplicationFolders.h"

#include <algorithm>

namespace quillby {

namespace fs = std::filesystem;

namespace {

fs::path normalised(const fs::path& path) {
    fs::path plain = path.lexically_normal();
    std::string text = plain.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

std::vector<ApplicationFolder> ApplicationFolders::forContext(const PlatformContext& context) {
    std::vector<ApplicationFolder> folders;
    auto add = [&](const fs::path& path, ApplicationFolderKind kind, std::string installation) {
        fs::path plain = normalised(path);
        bool listed =
            std::any_of(folders.begin(), folders.end(),
                        [&](const ApplicationFolder& folder) { return folder.path == plain; });
        if (!listed) folders.push_back({plain, kind, std::move(installation), 0});
    };
    fs::path userFlatpak = normalised(context.xdgDataHome / "flatpak/exports/share/applications");
    fs::path systemFlatpak = normalised(context.varRoot / "lib/flatpak/exports/share/applications");
    fs::path snaps = normalised(context.varRoot / "lib/snapd/desktop/applications");
    // Flatpak puts its exports in front of the data folders, snapd its own behind them.
    if (isFolder(userFlatpak)) add(userFlatpak, ApplicationFolderKind::FlatpakEntries, "user");
    if (isFolder(systemFlatpak)) {
        add(systemFlatpak, ApplicationFolderKind::FlatpakEntries, "system");
    }
    fs::path userEntries = normalised(context.xdgDataHome / "applications");
    for (const auto& dataFolder : context.xdgDataDirs) {
        fs::path applications = normalised(dataFolder / "applications");
        if (applications == userEntries) continue;  // the user's own, searched last
        if (applications == userFlatpak) {
            add(applications, ApplicationFolderKind::FlatpakEntries, "user");
        } else if (applications == systemFlatpak) {
            add(applications, ApplicationFolderKind::FlatpakEntries, "system");
        } else if (applications == snaps) {
            add(applications, ApplicationFolderKind::SnapEntries, "");
        } else {
            add(applications, ApplicationFolderKind::SystemEntries, "");
        }
    }
    if (isFolder(snaps)) add(snaps, ApplicationFolderKind::SnapEntries, "");
    for (std::size_t i = 0; i < folders.size(); ++i) folders[i].rank = static_cast<int>(i) + 1;
    add(userEntries, ApplicationFolderKind::UserEntries, "");
    add(context.home / "Applications", ApplicationFolderKind::AppImages, "");
    add(context.home / ".local/bin", ApplicationFolderKind::AppImages, "");
    return folders;
}

const ApplicationFolder* ApplicationFolders::folderHolding(
    const std::vector<ApplicationFolder>& folders, const fs::path& path) {
    const ApplicationFolder* holder = nullptr;
    std::string text = path.string();
    for (const auto& folder : folders) {
        std::string prefix = folder.path.string() + "/";
        if (!text.starts_with(prefix)) continue;
        if (!holder || folder.path.string().size() > holder->path.string().size()) {
            holder = &folder;
        }
    }
    return holder;
}

}  // namespace quillby
