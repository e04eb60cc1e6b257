// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateSearchChoices.h"

#include <algorithm>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/fs/PathRules.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "duplicates/WalkExclusions.h"

namespace quillby {

namespace {

// A folder as the lists keep it: absolute, without trailing slashes ("/" stays "/").
std::string listedFolder(const std::string& folder) {
    std::string path(withoutTrailingSlashes(folder));
    return path.empty() ? std::string("/") : path;
}

bool addOnce(std::vector<std::string>& list, std::string entry) {
    if (std::find(list.begin(), list.end(), entry) != list.end()) return false;
    list.push_back(std::move(entry));
    return true;
}

}  // namespace

UserDefaults& DuplicateSearchChoices::defaults() const {
    if (fixed_) return *fixed_;
    PreferenceViewController::initialize();  // the limit's registered default is 1 MB
    return UserDefaults::standardUserDefaults();
}

std::int64_t DuplicateSearchChoices::limit() const {
    return defaults().integerForKey(SettingsKey::QWDuplicationLimit);
}

std::int64_t DuplicateSearchChoices::unit() const {
    return defaults().integerForKey(SettingsKey::QWDuplicatesUnit);
}

bool DuplicateSearchChoices::includeHidden() const {
    return defaults().boolForKey(SettingsKey::QWHidenDuplication);
}

bool DuplicateSearchChoices::includeSystem() const {
    return defaults().boolForKey(SettingsKey::QWSystemDuplication);
}

std::vector<std::string> DuplicateSearchChoices::excludes() const {
    return defaults().linesForKey(SettingsKey::DuplicateExcludes);
}

void DuplicateSearchChoices::setLimit(std::int64_t limit) {
    defaults().setInteger(std::max<std::int64_t>(limit, 0), SettingsKey::QWDuplicationLimit);
    announce();
}

void DuplicateSearchChoices::setUnit(std::int64_t unit) {
    defaults().setInteger(unit, SettingsKey::QWDuplicatesUnit);
    announce();
}

void DuplicateSearchChoices::setIncludeHidden(bool include) {
    defaults().setBool(include, SettingsKey::QWHidenDuplication);
    announce();
}

void DuplicateSearchChoices::setIncludeSystem(bool include) {
    defaults().setBool(include, SettingsKey::QWSystemDuplication);
    announce();
}

bool DuplicateSearchChoices::addExclude(const std::string& pathOrGlob) {
    if (pathOrGlob.empty()) return false;
    const bool glob = WalkExclusions::isGlob(pathOrGlob);
    // A glob is matched against names, which hold no slash; a path must be absolute.
    if (glob ? pathOrGlob.find('/') != std::string::npos : pathOrGlob.front() != '/') return false;
    std::vector<std::string> list = excludes();
    if (!addOnce(list, glob ? pathOrGlob : listedFolder(pathOrGlob))) return false;
    storeExcludes(list);
    return true;
}

bool DuplicateSearchChoices::removeExclude(std::size_t index) {
    std::vector<std::string> list = excludes();
    if (index >= list.size()) return false;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    storeExcludes(list);
    return true;
}

void DuplicateSearchChoices::storeExcludes(const std::vector<std::string>& excludes) {
    std::string text;
    for (const auto& entry : excludes) text += entry + "\n";
    defaults().setObject(SettingValue(text), SettingsKey::DuplicateExcludes);
    announce();
}

bool DuplicateSearchChoices::addKeepIn(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return false;
    return addOnce(keepIn_, listedFolder(folder));
}

bool DuplicateSearchChoices::removeKeepIn(std::size_t index) {
    if (index >= keepIn_.size()) return false;
    keepIn_.erase(keepIn_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

DuplicateSearchSettings DuplicateSearchChoices::settings() const {
    DuplicateSearchSettings settings = DuplicateSearchSettings::fromUserDefaults(defaults());
    settings.keepIn = keepIn_;
    return settings;
}

Subscription DuplicateSearchChoices::observe(std::function<void()> changed) {
    return EventBus::defaultCenter().observe(
        Events::DuplicateSearchSettingsChanged,
        [changed = std::move(changed)](const Event&) { changed(); });
}

void DuplicateSearchChoices::announce() {
    EventBus::defaultCenter().post(Events::DuplicateSearchSettingsChanged);
}

}  // namespace quillby
