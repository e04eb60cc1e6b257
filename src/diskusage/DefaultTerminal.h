// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformContext.h"

namespace quillby {

// The desktop's default terminal and how to start it, found through its desktop entry.
struct TerminalCommand {
    std::string name;     // the entry's name in the messages' language ("Terminal")
    std::string entryId;  // "org.gnome.Terminal.desktop"; empty for the bare alternative
    std::string program;  // an absolute path
    std::vector<std::string> arguments;
};

// Finds the terminal, first of:
// 1. the desktop's choice in xdg-terminals.list ("<desktop>-xdg-terminals.list" before the
//    plain one, in $XDG_CONFIG_HOME then $XDG_CONFIG_DIRS): the first entry ID that resolves;
// 2. on KDE, kdeglobals' [General] TerminalService (an entry ID) or TerminalApplication;
// 3. the x-terminal-emulator alternative (<etc>/alternatives), through the entry whose program
//    it names, else started as it is;
// 4. the first entry of the "TerminalEmulator" category in the applications folders.
// Entries hidden, not shown on these `desktops` (XDG_CURRENT_DESKTOP's names), or whose
// program (or TryExec) is not installed are passed over. Nothing when no terminal is found.
// Reads small files only; still, the page calls it off the main thread.
std::optional<TerminalCommand> findDefaultTerminal(const PlatformContext& context,
                                                   const std::vector<std::string>& desktops);

}  // namespace quillby
