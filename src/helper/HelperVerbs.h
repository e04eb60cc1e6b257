// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "core/fs/DeletionGate.h"

namespace quillby {

// The requests the helper serves. Each verb takes one argument and gives one answer: "ok", or
// "error " and a reason. Adding a request is adding a row to the table in HelperVerbs.cpp.
struct HelperVerb {
    std::string_view name;
    std::string (*handle)(const std::string& argument);
};

// The verb called `name`, or nullptr.
const HelperVerb* findHelperVerb(std::string_view name);

// Checks a path given to a privileged request: absolute, normalised, neither "/" nor a folder
// directly under it. Gives the reason for refusing it, or "" when it may be used.
std::string refusalForPath(const std::string& path);

// Removes an item the user picked by hand, with everything inside it, as root: no link on the
// way to it, none followed below it, no other file system entered, and never what the deletion
// gate protects (the system's own folders and all they hold, homes as a whole, mount points).
// The answer is "ok" only when the item is gone.
std::string removePickedItem(const std::string& path, const DeletionGate::Options& options);

}  // namespace quillby
