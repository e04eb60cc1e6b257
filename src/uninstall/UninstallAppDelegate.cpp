// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallAppDelegate.h"

#include <sys/stat.h>
#include <algorithm>
#include <map>
#include <set>

#include "core/apps/DesktopEntry.h"
#include "core/apps/DesktopEntryFile.h"
#include "core/apps/FileCreationDate.h"
#include "core/events/Log.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDesktopExtension = "desktop";
constexpr const char* kAppImageExtension = "AppImage";
constexpr const char* kProgramIcon = "application-x-executable";
// Deeper than any real application folder; bounds a maze of links.
constexpr int kMaximumDepth = 40;

using FolderIdentity = std::pair<dev_t, ino_t>;

void walk(const fs::path& folder, std::vector<std::string>* paths, std::string_view extension,
          std::set<FolderIdentity>& route, int depth) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) return;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) return;
        const fs::path& path = entries->path();
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) continue;  // missing, or a dangling link
        std::string fileExtension = path.extension().string();
        bool bundleName = fileExtension.size() > 1 && fileExtension.substr(1) == extension;
        if (bundleName) {
            if (S_ISREG(status.st_mode)) paths->push_back(path.string());
            continue;
        }
        if (!S_ISDIR(status.st_mode) || depth >= kMaximumDepth) continue;
        FolderIdentity identity{status.st_dev, status.st_ino};
        if (!route.insert(identity).second) continue;  // a link back to a folder on this route
        walk(path, paths, extension, route, depth + 1);
        route.erase(identity);
    }
}

void setSystemFlag(AppItems& item, bool system) {
    item.isSystemApp = system;
    item.isSystemAppStr = system ? "YES" : "NO";
}

// What Flatpak or snapd say is installed: the unit, its installation and its version.
struct InstalledVersion {
    std::string unit;
    std::string installation;
    std::string version;
};

bool anyFrom(const std::vector<AppItems>& items, AppSource source) {
    return std::any_of(items.begin(), items.end(),
                       [&](const AppItems& item) { return item.source == source; });
}

// Gives every record of `source` the version of its unit in its installation, where known.
void takeVersions(std::vector<AppItems>& items, AppSource source,
                  const std::vector<InstalledVersion>& installed) {
    for (auto& item : items) {
        if (item.source != source) continue;
        for (const auto& unit : installed) {
            if (unit.unit == item.removalUnit && unit.installation == item.installation &&
                !unit.version.empty()) {
                item.bundleVersion = unit.version;
            }
        }
    }
}

std::string withoutExtension(const std::string& name, const std::string& extension) {
    return name.ends_with(extension) ? name.substr(0, name.size() - extension.size()) : name;
}

}  // namespace

UninstallAppDelegate::UninstallAppDelegate(AppBackends backends)
    : backends_(std::move(backends)), folders_(ApplicationFolders::forContext(backends_.context)) {}

void UninstallAppDelegate::applicationsInDirectory(const fs::path& folder,
                                                   std::vector<std::string>* paths,
                                                   std::string_view bundleExtension) {
    if (!paths) return;
    std::set<FolderIdentity> route;
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) route.insert({status.st_dev, status.st_ino});
    walk(folder, paths, bundleExtension, route, 0);
}

std::string UninstallAppDelegate::desktopFileId(const fs::path& relative) {
    std::string id = relative.string();
    std::replace(id.begin(), id.end(), '/', '-');
    return id;
}

std::optional<AppItems> UninstallAppDelegate::constructAppItem(const std::string& path) const {
    const ApplicationFolder* folder = ApplicationFolders::folderHolding(folders_, path);
    if (!folder) return std::nullopt;
    if (folder->kind != ApplicationFolderKind::AppImages) return constructEntryItem(path, *folder);

    fs::path file(path);
    if (file.extension() != std::string(".") + kAppImageExtension) return std::nullopt;
    AppItems item;
    item.path = path;
    item.name = file.stem().string();
    item.image = kProgramIcon;
    item.source = AppSource::AppImage;
    item.date = fileCreationDate(file).value_or(std::chrono::system_clock::now());
    setSystemFlag(item, false);
    return item;
}

std::optional<AppItems> UninstallAppDelegate::constructEntryItem(
    const fs::path& path, const ApplicationFolder& folder) const {
    std::string why;
    auto entry = readDesktopEntryFile(path, &why);
    if (!entry) {
        QWLog("Skipping application entry %s: %s", path.c_str(), why.c_str());
        return std::nullopt;
    }
    const char* group = DesktopEntry::mainGroup;
    if (entry->stringValue(group, "Type").value_or("") != "Application") return std::nullopt;
    if (entry->booleanValue(group, "NoDisplay").value_or(false)) return std::nullopt;
    if (entry->booleanValue(group, "Hidden").value_or(false)) return std::nullopt;

    std::string id =
        withoutExtension(desktopFileId(path.lexically_relative(folder.path)), ".desktop");
    AppItems item;
    item.path = path.string();
    item.name =
        entry->localeStringValue(group, "Name", backends_.context.messagesLocale).value_or("");
    if (item.name.empty()) item.name = id;
    item.image = entry->stringValue(group, "Icon").value_or("");
    if (item.image.empty()) item.image = kProgramIcon;
    item.bundleID = id;
    if (auto version = entry->stringValue(group, "X-AppImage-Version");
        version && !version->empty()) {
        item.bundleVersion = *version;
    }
    item.date = fileCreationDate(path).value_or(std::chrono::system_clock::now());
    setSystemFlag(item, false);
    switch (folder.kind) {
        case ApplicationFolderKind::SystemEntries:
            item.source = AppSource::LocalEntry;  // until the package manager claims it
            break;
        case ApplicationFolderKind::FlatpakEntries:
            item.source = AppSource::Flatpak;
            if (auto app = entry->stringValue(group, "X-Flatpak"); app && !app->empty()) {
                item.bundleID = *app;
            }
            item.removalUnit = *item.bundleID;
            item.installation = folder.installation;
            break;
        case ApplicationFolderKind::SnapEntries: {
            item.source = AppSource::Snap;
            auto instance = entry->stringValue(group, "X-SnapInstanceName");
            item.removalUnit =
                instance && !instance->empty() ? *instance : id.substr(0, id.find('_'));
            break;
        }
        case ApplicationFolderKind::UserEntries:
        case ApplicationFolderKind::AppImages:
            item.source = AppSource::UserEntry;
            break;
    }
    return item;
}

std::vector<bool> UninstallAppDelegate::shadowedEntries(
    const std::vector<std::string>& paths) const {
    // The winning entry of every desktop-file ID: the one in the folder of lowest rank, and of
    // two in one folder the first found.
    std::map<std::string, std::pair<int, std::size_t>> winners;
    std::vector<std::string> ids(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const ApplicationFolder* folder = ApplicationFolders::folderHolding(folders_, paths[i]);
        if (!folder || folder->kind == ApplicationFolderKind::AppImages) continue;
        ids[i] = desktopFileId(fs::path(paths[i]).lexically_relative(folder->path));
        auto [winner, added] = winners.try_emplace(ids[i], folder->rank, i);
        if (!added && folder->rank < winner->second.first) winner->second = {folder->rank, i};
    }
    std::vector<bool> shadowed(paths.size(), false);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        shadowed[i] = !ids[i].empty() && winners[ids[i]].second != i;
    }
    return shadowed;
}

void UninstallAppDelegate::getAppInfo(std::vector<AppItems>* appsInfo) {
    if (!appsInfo) return;
    std::vector<std::string> paths;
    paths.reserve(100);
    for (const auto& folder : folders_) {
        bool appImages = folder.kind == ApplicationFolderKind::AppImages;
        applicationsInDirectory(folder.path, &paths,
                                appImages ? kAppImageExtension : kDesktopExtension);
    }
    std::vector<bool> shadowed = shadowedEntries(paths);
    std::vector<AppItems> items;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (shadowed[i]) continue;
        if (auto item = constructAppItem(paths[i])) items.push_back(std::move(*item));
    }
    addPackages(items);
    addFlatpakVersions(items);
    addSnapVersions(items);
    for (auto& item : items) appsInfo->push_back(std::move(item));
}

void UninstallAppDelegate::addPackages(std::vector<AppItems>& items) const {
    if (!backends_.packageManager) return;
    std::vector<std::string> paths;
    for (const auto& item : items) {
        if (item.source == AppSource::LocalEntry) paths.push_back(item.path);
    }
    if (paths.empty()) return;
    auto owners = backends_.packageManager->owningPackages(paths);
    for (auto& item : items) {
        auto owner = owners.find(item.path);
        if (item.source != AppSource::LocalEntry || owner == owners.end()) continue;
        item.source = AppSource::Package;
        item.removalUnit = owner->second.name;
        if (!owner->second.version.empty()) item.bundleVersion = owner->second.version;
        setSystemFlag(item, true);
    }
}

void UninstallAppDelegate::addFlatpakVersions(std::vector<AppItems>& items) const {
    if (!backends_.flatpak || !anyFrom(items, AppSource::Flatpak)) return;
    std::vector<InstalledVersion> versions;
    for (const auto& app : backends_.flatpak->installedApps()) {
        versions.push_back({app.id, app.installation, app.version});
    }
    takeVersions(items, AppSource::Flatpak, versions);
}

void UninstallAppDelegate::addSnapVersions(std::vector<AppItems>& items) const {
    if (!backends_.snap || !anyFrom(items, AppSource::Snap)) return;
    std::vector<InstalledVersion> versions;
    for (const auto& snap : backends_.snap->installedSnaps()) {
        versions.push_back({snap.name, "", snap.version});
    }
    takeVersions(items, AppSource::Snap, versions);
}

}  // namespace quillby
