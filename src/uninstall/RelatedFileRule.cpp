// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/RelatedFileRule.h"

#include <algorithm>
#include <cctype>

#include "platform/PlatformContext.h"

namespace quillby {

namespace {

// What the desktop, the package formats and the user's session keep in the settings, cache and
// data folders for every program.
constexpr std::string_view kSharedEntries[] = {
    "applications", "autostart",  "dbus-1",         "desktop-directories",
    "flatpak",      "fontconfig", "fonts",          "icons",
    "keyrings",     "menus",      "mime",           "mimeapps.list",
    "systemd",      "Trash",      "user-dirs.dirs", "user-dirs.locale"};

// After a reverse-domain identifier: a separator ("org.gimp.GIMP.conf", "-2.10", "_cache"),
// or its helper ("org.gimp.GIMPHelper", "org.gimp.GIMPHelper.plist"); never another name that
// merely begins the same ("org.gimp.GIMPEditor" is another application).
bool continuesReverseDomain(std::string_view entryName, std::string_view identifier) {
    constexpr std::string_view kHelper = "Helper";
    std::string_view rest = entryName.substr(identifier.size());
    if (rest.starts_with(kHelper)) rest.remove_prefix(kHelper.size());
    return rest.empty() || rest.front() == '.' || rest.front() == '-' || rest.front() == '_';
}

}  // namespace

bool RelatedFileRule::isReverseDomain(std::string_view identifier) {
    if (identifier.empty() || identifier.front() == '.' || identifier.back() == '.') return false;
    if (identifier.find("..") != std::string_view::npos) return false;
    return std::count(identifier.begin(), identifier.end(), '.') >= 2;
}

bool RelatedFileRule::isSharedEntry(std::string_view entryName) {
    if (entryName.starts_with(PlatformContext::bundleIdentifier)) return true;
    return std::find(std::begin(kSharedEntries), std::end(kSharedEntries), entryName) !=
           std::end(kSharedEntries);
}

bool RelatedFileRule::matches(std::string_view entryName, std::string_view identifier) {
    // An identifier comes from a file name or an entry's text: one that starts with a dot or
    // another sign ("." from a file "..desktop") names no application.
    if (identifier.empty() || !std::isalnum(static_cast<unsigned char>(identifier.front()))) {
        return false;
    }
    if (!entryName.starts_with(identifier)) return false;
    if (isSharedEntry(entryName)) return false;
    if (entryName.size() == identifier.size()) return true;
    if (isReverseDomain(identifier)) return continuesReverseDomain(entryName, identifier);
    std::string_view rest = entryName.substr(identifier.size() + 1);
    switch (entryName[identifier.size()]) {
        case '-':
        case '_':
            return true;
        case '.':
            return identifier.find('.') == std::string_view::npos && !rest.empty() &&
                   rest.find('.') == std::string_view::npos;
        default:
            return false;
    }
}

bool RelatedFileRule::belongsTo(std::string_view entryName, std::string_view identifier,
                                const std::vector<std::string>& others) {
    if (!matches(entryName, identifier)) return false;
    return std::none_of(others.begin(), others.end(), [&](const std::string& other) {
        return other.size() >= identifier.size() && matches(entryName, other);
    });
}

}  // namespace quillby
