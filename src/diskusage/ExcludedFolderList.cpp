// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ExcludedFolderList.h"

#include <algorithm>

#include "core/fs/PathRules.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

ExcludedFolderList::ExcludedFolderList(UserDefaults& defaults)
    : defaults_(defaults), folders_(defaults.linesForKey(SettingsKey::DiskUsageExcludes)) {}

bool ExcludedFolderList::add(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return false;
    std::string path(withoutTrailingSlashes(folder));
    if (std::find(folders_.begin(), folders_.end(), path) != folders_.end()) return false;
    folders_.push_back(std::move(path));
    return store();
}

bool ExcludedFolderList::remove(std::size_t index) {
    if (index >= folders_.size()) return false;
    folders_.erase(folders_.begin() + static_cast<std::ptrdiff_t>(index));
    return store();
}

bool ExcludedFolderList::store() {
    std::string text;
    for (const auto& folder : folders_) text += folder + "\n";
    return defaults_.setObject(SettingValue(text), SettingsKey::DiskUsageExcludes);
}

}  // namespace quillby
