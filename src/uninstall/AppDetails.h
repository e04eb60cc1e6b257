// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/apps/AppItems.h"
#include "uninstall/UninstallApp.h"
#include "uninstall/UninstallPlanSheet.h"

namespace quillby {

// What the details sheet of one application shows.
struct AppDetails {
    std::string name;         // cut to 28 characters and "..." when longer
    std::string nameToolTip;  // the whole name
    std::string image;
    std::uint64_t size = 0;   // what removing the application frees: its plan's files
    std::string sizeText;     // the size as a size text, "--" when there is none
    std::string created;      // "Created: " and the creation date and time
    std::string path;         // cut to 70 characters and "..." when longer
    std::string pathToolTip;  // the whole path

    static constexpr std::size_t nameShownLength = 28;
    static constexpr std::size_t pathShownLength = 70;

    // The sheet of `app`, its size measured along the plan of `planner` (the program's folder,
    // related files, login items, the entry), so it may take a while for a large folder. For an
    // application a package manager, Flatpak or snapd removes, the size says it counts only the
    // user's files: what the package holds is theirs to tell.
    static AppDetails forApp(const AppItems& app, const UninstallApp& planner);
    // The sheet of `app` from its plan, measured already.
    static AppDetails forApp(const AppItems& app, const PlannedApp& plan);
    // A date in a medium style, in local time: "Jan 5, 2024, 15:04:05".
    static std::string mediumDateText(std::chrono::system_clock::time_point date);
};

}  // namespace quillby
