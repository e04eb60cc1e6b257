// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// What "open" may do with an item without ever running anything found on disk.
enum class OpenAction {
    ShowFolder,       // a folder: shown in the file manager
    OpenWithDefault,  // a plain document: opened by its default application
    Reveal,           // anything that could run (a program, a script, a desktop entry) or is
                      // missing or special: its folder is shown with the item selected
};

// The action for the item at `path`. A link is judged by what it points to and by both names.
// Only a regular file that is not executable, does not start like a program or a script ("#!",
// an ELF header) and has no launcher or program file name (".desktop", ".sh", ".AppImage", ...)
// is opened with its default application.
OpenAction safeOpenAction(const std::string& path);

}  // namespace quillby
