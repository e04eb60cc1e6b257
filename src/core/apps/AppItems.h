// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillby {

// How an application came onto the machine, which decides what removes it.
enum class AppSource {
    None,        // not an installed application (a login item)
    UserEntry,   // a desktop entry in the user's own applications folder
    AppImage,    // a self-contained program file
    Flatpak,     // a Flatpak application (user or system installation)
    Snap,        // a snap
    Package,     // provided by the system's package manager
    LocalEntry,  // a desktop entry in a system folder that no package owns
};

// The source's name as the command line and JSON show it ("package", "flatpak", ...).
constexpr std::string_view appSourceName(AppSource source) {
    switch (source) {
        case AppSource::UserEntry:
            return "user";
        case AppSource::AppImage:
            return "appimage";
        case AppSource::Flatpak:
            return "flatpak";
        case AppSource::Snap:
            return "snap";
        case AppSource::Package:
            return "package";
        case AppSource::LocalEntry:
            return "local";
        case AppSource::None:
            break;
    }
    return "";
}

// One application or login item as the lists show it: a plain, copyable value. Engines fill it
// from the file system; pages only display it.
struct AppItems {
    // The icon: a theme icon name or an icon file's path, which the page loads.
    std::string image;
    std::string name;
    std::string path;
    std::optional<std::string> bundleID;
    std::optional<std::string> bundleVersion;
    // Formatted size; discovery leaves it empty.
    std::string fileSize;
    // When the item was created.
    std::chrono::system_clock::time_point date = std::chrono::system_clock::now();
    bool isSystemApp = false;
    // The user's mark; the login-items list keeps the item's hidden flag here.
    bool bIsSelected = false;
    // "YES" or "NO", the text form of isSystemApp once it is set.
    std::string isSystemAppStr;
    std::uint64_t fileSizeNum = 0;

    // What the uninstaller removes: the source, and the package, Flatpak application or snap
    // that stands for it (empty when the application is just its file).
    AppSource source = AppSource::None;
    std::string removalUnit;
    // A Flatpak's installation: "user", "system" or the name of another one.
    std::string installation;
    // Why the last attempt to remove it failed; empty when none did.
    std::string failureReason;
};

}  // namespace quillby
