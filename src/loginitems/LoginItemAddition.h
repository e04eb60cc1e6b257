// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

class Asker;
class LoginItemController;

// What adding one file as a login item would do.
struct LoginItemCandidate {
    std::string path;
    // Empty when the file can be added; else why not, as the user reads it.
    std::string refusal;
    // The file is an application entry (".desktop" of Type=Application), copied as it is.
    bool applicationEntry = false;
    // For anything else: the command the new entry runs at every login.
    std::string command;
};

// Adding files to the login items from the open panel or a drop. Nothing that is not an
// application entry is added unasked: the commands it would run at every login are shown first.
// Files that cannot be added are reported with their reasons.
class LoginItemAddition {
  public:
    // Examines `path`. A drop only takes local regular files and application entries; the open
    // panel also takes folders (opened at login).
    static LoginItemCandidate examine(const std::string& path, bool fromDrop);

    // Adds the files that can be added after one question for those that run a command, then
    // rebuilds the page's list and tells the user about every file that was not added.
    // Gives the number of items added.
    static int add(const std::vector<std::string>& paths, bool fromDrop,
                   LoginItemController& controller, Asker& asker);
};

}  // namespace quillby
