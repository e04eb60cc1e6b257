#include "clean/CategoryFolders.h"

#include <sys/stat.h>
#include <algorithm>
#include <fstream>
#include <string>

#include "clean/CleanCategory.h"
#include "clean/EveryEntryRule.h"
#include "clean/PackageCacheRule.h"
#include "clean/RotatedLogRule.h"
#include "clean/SessionErrorLogRule.h"
#include "clean/TrashRule.h"
#include "clean/UserLogRule.h"
#include "core/Log.h"

namespace fs = std::filesystem;

namespace {

template <class Rule>
std::shared_ptr<const CleanRule> shared() {
    static const auto rule = std::make_shared<const Rule>();
    return rule;
}

// A folder in its plain form: the folders leading to it resolved (a home behind a link is
// fine), the folder's own name kept, so that a category folder that is itself a link is found
// out (and refused) by the walks instead of being followed.
fs::path plainFolder(fs::path folder) {
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    folder = text;
    std::error_code error;
    fs::path parent = fs::weakly_canonical(folder.parent_path(), error);
    return error ? folder.lexically_normal() : parent / folder.filename();
}

bool isStickyFolderNotLink(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX);
}

bool isLink(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
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

std::optional<fs::path> CategoryFolders::downloadFolder() const {
    auto setting = downloadDirSetting(context_.xdgConfigHome / "user-dirs.dirs", context_.home);
    fs::path folder = setting ? *setting : context_.home / "Downloads";
    if (plainFolder(folder) == plainFolder(context_.home)) return std::nullopt;
    return folder;
}

std::vector<CleanFolder> CategoryFolders::trashFolders() const {
    auto rule = shared<TrashRule>();
    std::vector<CleanFolder> folders{{context_.xdgDataHome / "Trash/files", rule}};
    if (!volumes_) return folders;
    std::string uid = std::to_string(context_.uid);
    for (const auto& root : volumes_->internalVolumeRoots()) {
        if (root == "/" || root.empty()) continue;  // the root's trash is the home trash
        fs::path shared = root / ".Trash";
        if (isStickyFolderNotLink(shared) && !isLink(shared / uid)) {
            folders.push_back({shared / uid / "files", rule});
        }
        folders.push_back({root / (".Trash-" + uid) / "files", rule});
    }
    return folders;
}

std::vector<CleanFolder> CategoryFolders::foldersWithRules(int category) const {
    switch (category) {
        case CleanCategoryId::SystemCaches: {
            std::vector<CleanFolder> folders;
            for (const char* cache :
                 {"cache/apt/archives", "cache/dnf", "cache/yum", "cache/pacman/pkg"}) {
                fs::path folder = context_.varRoot / cache;
                std::error_code error;
                if (fs::is_directory(fs::symlink_status(folder, error))) {
                    folders.push_back({folder, shared<PackageCacheRule>()});
                }
            }
            return folders;
        }
        case CleanCategoryId::UserCaches:
            return {{context_.xdgCacheHome, shared<EveryEntryRule>()}};
        case CleanCategoryId::SystemLogs:
            return {{context_.varRoot / "log", shared<RotatedLogRule>()}};
        case CleanCategoryId::UserLogs:
            return {{context_.xdgStateHome, shared<UserLogRule>()},
                    {context_.home, shared<SessionErrorLogRule>()},
                    {context_.xdgDataHome / "xorg", shared<RotatedLogRule>()}};
        case CleanCategoryId::UserTrash:
            return trashFolders();
        case CleanCategoryId::UserDownloads:
            if (auto folder = downloadFolder()) return {{*folder, shared<EveryEntryRule>()}};
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
