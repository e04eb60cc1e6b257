// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/AppInformation.h"

#include <sys/stat.h>
#include <unistd.h>

#include "core/apps/DesktopEntry.h"
#include "core/apps/DesktopEntryFile.h"
#include "core/apps/FileCreationDate.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/fs/AtomicFile.h"
#include "core/fs/FileURL.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "loginitems/LoginItemRegistry.h"
#include "platform/Services.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

constexpr const char* desktopSuffix = ".desktop";

std::string withoutDesktopSuffix(const std::string& name) {
    if (name.size() > 8 && name.ends_with(desktopSuffix)) return name.substr(0, name.size() - 8);
    return name;
}

// A theme icon for a file that has no icon of its own.
std::string iconForFile(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return "image-missing";
    if (S_ISDIR(status.st_mode)) return "folder";
    if (S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0) {
        return "application-x-executable";
    }
    return "text-x-generic";
}

void setSystemFlag(AppItems& item, bool system) {
    item.isSystemApp = system;
    item.isSystemAppStr = system ? "YES" : "NO";
}

}  // namespace

AppItems AppInformation::constructAppItem(const std::string& path, bool hide) {
    AppItems item;
    item.path = path;
    fs::path file(path);
    item.name = file.filename().empty() ? path : file.filename().string();
    item.image = iconForFile(file);
    if (file.extension() == desktopSuffix) {
        std::string why;
        if (auto entry = readDesktopEntryFile(file, &why)) {
            const char* group = DesktopEntry::mainGroup;
            auto name = entry->localeStringValue(group, "Name", Services::context().messagesLocale);
            if (name && !name->empty()) item.name = *name;
            if (auto icon = entry->stringValue(group, "Icon"); icon && !icon->empty()) {
                item.image = *icon;
            }
            item.bundleID = withoutDesktopSuffix(file.filename().string());
        }
    }
    item.date = fileCreationDate(file).value_or(std::chrono::system_clock::now());
    setSystemFlag(item, false);
    item.bIsSelected = hide;
    return item;
}

std::optional<AppItems> AppInformation::constructLoginItem(const LoginItemEntry& entry) {
    auto path = pathFromFileURL(entry.url);
    if (!path) {
        QWLog("Login item %s is not a local file", entry.url.c_str());
        return std::nullopt;
    }
    AppItems item = constructAppItem(*path, entry.hidden);
    if (!entry.name.empty()) item.name = entry.name;
    if (!entry.icon.empty()) item.image = entry.icon;
    if (!entry.identifier.empty()) item.bundleID = withoutDesktopSuffix(entry.identifier);
    setSystemFlag(item, entry.system);
    return item;
}

std::optional<std::vector<LoginItemRecord>> AppInformation::loginItemRecords() {
    auto entries = LoginItemRegistry::allLoginItems();
    if (!entries) return std::nullopt;
    std::vector<LoginItemRecord> records;
    for (size_t i = 0; i < entries->size(); ++i) {
        const LoginItemEntry& entry = (*entries)[i];
        if (auto record = constructLoginItem(entry)) {
            records.push_back({static_cast<int>(i), entry, std::move(*record)});
        }
    }
    return records;
}

bool AppInformation::isMissingItem(const AppItems& record) {
    return record.name == "msng";
}

void AppInformation::getAppInfo(std::vector<AppItems>* appsInfo) {
    if (!appsInfo) {
        QWLog("appsInfo is not nil ,so return");
        return;
    }
    auto records = loginItemRecords();
    if (!records) return;
    for (auto& record : *records) appsInfo->push_back(std::move(record.record));
}

std::string AppInformation::readeFileOfLaunchAppWhenLogin() {
    return std::to_string(
        UserDefaults::standardUserDefaults().integerForKey(SettingsKey::LoginCheck));
}

void AppInformation::writeFileOfLaunchAppWhenLogin(const std::string& text) {
    UserDefaults::standardUserDefaults().setInteger(settingAsInteger(SettingValue(text)),
                                                    SettingsKey::LoginCheck);
}

fs::path AppInformation::programEntryPath(const fs::path& programExecutable) {
    const PlatformContext& context = Services::context();
    std::string fileName = std::string(PlatformContext::bundleIdentifier) + desktopSuffix;
    std::vector<fs::path> dataFolders{context.xdgDataHome};
    dataFolders.insert(dataFolders.end(), context.xdgDataDirs.begin(), context.xdgDataDirs.end());
    for (const auto& folder : dataFolders) {
        fs::path installed = folder / "applications" / fileName;
        std::error_code error;
        if (fs::is_regular_file(installed, error)) return installed;
    }

    // Not installed (run from a build folder): describe the program in its own data folder.
    const char* group = DesktopEntry::mainGroup;
    DesktopEntry entry = DesktopEntry::empty();
    entry.setValue(group, "Type", "Application");
    entry.setValue(group, "Name", "Quillby Pro");
    entry.setValue(group, "Comment", "Free disk space and memory, and keep your computer tidy");
    if (!entry.setStringValue(group, "Exec",
                              DesktopEntry::joinExec({programExecutable.string()}))) {
        QWLog("The program's path %s cannot be written in a desktop entry",
              programExecutable.c_str());
    }
    entry.setValue(group, "Icon", PlatformContext::bundleIdentifier);
    entry.setValue(group, "Terminal", "false");
    entry.setValue(group, "Categories", "System;Utility;");
    fs::path own = context.appDataFolder() / fileName;
    std::string why;
    auto existing = readDesktopEntryFile(own, &why);
    if ((!existing || existing->toText() != entry.toText()) &&
        !writeFileAtomically(own, entry.toText())) {
        QWLog("Cannot write the program's desktop entry %s", own.c_str());
    }
    return own;
}

bool AppInformation::registerProgramAtLogin(bool add, const fs::path& programExecutable) {
    std::string bundlePath = programEntryPath(programExecutable).string();
    int index = LoginItemRegistry::indexForLoginItemWithPath(bundlePath);
    if (index != -1) LoginItemRegistry::removeLoginItemAtIndex(index);
    return !add || LoginItemRegistry::addLoginItemWithPath(bundlePath, false);
}

bool AppInformation::changeLaunchAppWhenLogin(int state, const fs::path& programExecutable) {
    writeFileOfLaunchAppWhenLogin(std::to_string(state));
    if (!registerProgramAtLogin(state == 1, programExecutable)) {
        QWLog("Registry login item failed!!!");
        return false;
    }
    return true;
}

bool AppInformation::isProgramItem(const AppItems& record) {
    return record.bundleID == PlatformContext::bundleIdentifier;
}

void AppInformation::loginItemRemoved(const AppItems& record) {
    if (!isProgramItem(record)) return;
    writeFileOfLaunchAppWhenLogin("0");
    EventBus::defaultCenter().post(Events::refMenuItemWhenDeleteAndAdd);
}

}  // namespace quillby
