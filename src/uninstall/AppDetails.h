// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/apps/AppItems.h"

namespace quillby {

// What the details sheet of one application shows.
struct AppDetails {
    std::string name;         // cut to 28 characters and "..." when longer
    std::string nameToolTip;  // the whole name
    std::string image;
    std::uint64_t size = 0;   // the size walk of the application's path
    std::string sizeText;     // the size as a size text, "--" when there is none
    std::string created;      // "Created: " and the creation date and time
    std::string path;         // cut to 70 characters and "..." when longer
    std::string pathToolTip;  // the whole path

    static constexpr std::size_t nameShownLength = 28;
    static constexpr std::size_t pathShownLength = 70;

    // The sheet of `app`; measures its path (may take a while for a large folder).
    static AppDetails forApp(const AppItems& app);
    // A date in a medium style, in local time: "Jan 5, 2024, 15:04:05".
    static std::string mediumDateText(std::chrono::system_clock::time_point date);
};

}  // namespace quillby
