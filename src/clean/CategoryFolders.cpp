// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CategoryFolders.h"

#include <sys/stat.h>
#include <algorithm>
#include <fstream>
#include <string>

#include "clean/CleanCategory.h"
#include "clean/CleanRules.h"
#include "clean/SystemCleanFolders.h"
#include "clean/TrashRule.h"
#include "core/events/Log.h"
#include "core/fs/UserHome.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

template <class Rule>
std::shared_ptr<const CleanRule> shared() {
    static const auto rule = std::make_shared<const Rule>();
    return rule;
}

// Nothing on the way is resolved: the folders are opened link by link from their trusted start,
// where a link is refused.
fs::path plainFolder(const fs::path& folder) {
    return UserHome::plainFolder(folder);
}

bool isFolderNotLink(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isStickyFolderNotLink(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX);
}

// The value of `XDG_DOWNLOAD_DIR="..."` in user-dirs.dirs, with $HOME expanded.
std::optional<fs::path> downloadDirSetting(const fs::path& file, const fs::path& home) {
    std::ifstream input(file);
    std::string line;
    std::optional<fs::path> found;
    while (std::getline(input, line)) {
        std::string_view text = line;
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        if (!text.starts_with("XDG_DOWNLOAD_DIR=")) continue;
        text.remove_prefix(17);
        if (text.size() < 2 || text.front() != '"') continue;
        std::size_t close = text.find('"', 1);
        if (close == std::string_view::npos) continue;
        std::string_view value = text.substr(1, close - 1);
        if (value == "$HOME") {
            found = home;
        } else if (value.starts_with("$HOME/")) {
            found = home / std::string(value.substr(6));
        } else if (value.starts_with("/")) {
            found = fs::path(std::string(value));
        }
    }
    return found;
}

}  // namespace

CategoryFolders::CategoryFolders(PlatformContext context,
                                 std::shared_ptr<const InternalVolumeSource> volumes)
    : context_(std::move(context)), volumes_(std::move(volumes)) {}

fs::path CategoryFolders::userFolder(const fs::path& chosen, const fs::path& fallback,
                                     const char* what) const {
    return UserHome(context_.home, context_.uid).folderFromEnvironment(chosen, fallback, what);
}

CleanFolder CategoryFolders::inHome(const fs::path& folder,
                                    std::shared_ptr<const CleanRule> rule) const {
    return {.path = folder,
            .rule = std::move(rule),
            .base = plainFolder(context_.home),
            .owner = context_.uid};
}

std::optional<fs::path> CategoryFolders::downloadFolder() const {
    auto setting = downloadDirSetting(context_.xdgConfigHome / "user-dirs.dirs", context_.home);
    fs::path home = plainFolder(context_.home);
    if (setting && plainFolder(*setting) == home) return std::nullopt;
    fs::path fallback = home / "Downloads";
    return setting ? userFolder(*setting, fallback, "The download folder") : fallback;
}

std::vector<fs::path> CategoryFolders::crashReportFolders() const {
    fs::path home = plainFolder(context_.home);
    fs::path config =
        userFolder(context_.xdgConfigHome, context_.home / ".config", "XDG_CONFIG_HOME");
    std::vector<fs::path> found;
    for (const fs::path& folder :
         {home / ".mozilla/firefox/Crash Reports", home / ".thunderbird/Crash Reports",
          config / "google-chrome/Crash Reports", config / "chromium/Crash Reports"}) {
        if (isFolderNotLink(folder)) found.push_back(folder);
    }
    return found;
}

std::vector<CleanFolder> CategoryFolders::trashFolders() const {
    auto rule = shared<TrashRule>();
    fs::path dataHome =
        userFolder(context_.xdgDataHome, context_.home / ".local/share", "XDG_DATA_HOME");
    std::vector<CleanFolder> folders{inHome(dataHome / "Trash/files", rule)};
    if (!volumes_) return folders;
    std::string uid = std::to_string(context_.uid);
    for (const auto& volume : volumes_->internalVolumeRoots()) {
        fs::path root = plainFolder(volume);
        if (root == "/" || root.empty()) continue;  // the root's trash is the home trash
        // A shared .Trash is used only when sticky, so nobody else can swap the user's folder.
        if (isStickyFolderNotLink(root / ".Trash")) {
            folders.push_back({.path = root / ".Trash" / uid / "files",
                               .rule = rule,
                               .base = root,
                               .owner = context_.uid,
                               .sharedStickyStart = true});
        }
        folders.push_back({.path = root / (".Trash-" + uid) / "files",
                           .rule = rule,
                           .base = root,
                           .owner = context_.uid});
    }
    return folders;
}

std::vector<CleanFolder> CategoryFolders::systemFolders(int category) const {
    std::vector<CleanFolder> folders;
    fs::path varRoot = plainFolder(context_.varRoot);
    for (const auto& fixed : SystemCleanFolders::folders(category)) {
        fs::path folder = varRoot / fixed.relative;
        std::error_code error;
        if (fixed.onlyWhenPresent && !fs::is_directory(fs::symlink_status(folder, error))) {
            continue;  // only the package managers and crash handlers this machine has
        }
        folders.push_back(
            {.path = folder, .rule = fixed.rule, .base = varRoot, .privilegedCategory = category});
    }
    return folders;
}

std::string CategoryFolders::userCategoriesRefusal() const {
    return UserHome(context_.home, context_.uid).refusal();
}

bool CategoryFolders::isUserCategory(int category) {
    return category == CleanCategoryId::UserCaches || category == CleanCategoryId::UserLogs ||
           category == CleanCategoryId::UserTrash || category == CleanCategoryId::UserDownloads;
}

std::vector<CleanFolder> CategoryFolders::foldersWithRules(int category) const {
    if (isUserCategory(category)) {
        if (std::string refusal = userCategoriesRefusal(); !refusal.empty()) {
            QWLog("%s", refusal.c_str());
            return {};
        }
    }
    switch (category) {
        case CleanCategoryId::SystemCaches:
        case CleanCategoryId::SystemLogs:
            return systemFolders(category);
        case CleanCategoryId::UserCaches: {
            // The thumbnail cache is an entry of its own in the cache folder.
            std::vector<CleanFolder> folders{inHome(
                userFolder(context_.xdgCacheHome, context_.home / ".cache", "XDG_CACHE_HOME"),
                shared<EveryEntryRule>())};
            if (fs::path apps = plainFolder(context_.home) / ".var/app"; isFolderNotLink(apps)) {
                folders.push_back(inHome(apps, shared<FlatpakAppCacheRule>()));
            }
            return folders;
        }
        case CleanCategoryId::UserLogs: {
            fs::path state =
                userFolder(context_.xdgStateHome, context_.home / ".local/state", "XDG_STATE_HOME");
            fs::path data =
                userFolder(context_.xdgDataHome, context_.home / ".local/share", "XDG_DATA_HOME");
            std::vector<CleanFolder> folders{
                inHome(state, shared<UserLogRule>()),
                inHome(plainFolder(context_.home), shared<SessionErrorLogRule>()),
                inHome(data / "xorg", shared<RotatedLogRule>())};
            for (const auto& reports : crashReportFolders()) {
                folders.push_back(inHome(reports, shared<CrashDumpRule>()));
            }
            return folders;
        }
        case CleanCategoryId::UserTrash:
            return trashFolders();
        case CleanCategoryId::UserDownloads:
            if (auto folder = downloadFolder()) return {inHome(*folder, shared<EveryEntryRule>())};
            return {};
        default:
            return {};
    }
}

std::vector<fs::path> CategoryFolders::getFolderPath(int category) const {
    std::vector<fs::path> paths;
    for (const auto& folder : cleanFolders(category)) paths.push_back(folder.path);
    return paths;
}

bool CategoryFolders::holdsHome(const fs::path& folder) const {
    if (folder == "/" || folder.empty()) return true;
    fs::path home = plainFolder(context_.home);
    // The folder is the home or lies above it.
    return std::mismatch(folder.begin(), folder.end(), home.begin(), home.end()).first ==
           folder.end();
}

std::vector<CleanFolder> CategoryFolders::cleanFolders(int category) const {
    std::vector<CleanFolder> folders;
    for (auto& folder : foldersWithRules(category)) {
        folder.path = plainFolder(folder.path);
        if (!folder.rule->isSafeOnHomeFolder() && holdsHome(folder.path)) {
            QWLog("Clean category %d: leaving out %s, it holds the home folder", category,
                  folder.path.c_str());
            continue;
        }
        folders.push_back(std::move(folder));
    }
    return folders;
}

}  // namespace quillby
