// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/VolumeRow.h"

namespace quillby {

// One entry of the status menu: a group header, a volume or memory row, a separator, or one of
// the commands.
struct StatusMenuEntry {
    enum class Type {
        Header,
        Row,
        Separator,
        EjectAll,
        FastClean,
        Scan,
        FreeSpace,
        Uninstall,
        MainWindow,
        Preferences,
        About,
        Quit
    };

    Type type = Type::Separator;
    std::uint32_t headerKind = 0;  // Header: the kind it titles
    VolumeRow row;                 // Row
    std::string title;          // Row: its reference number ("5" for memory); commands: their text
    std::string keyEquivalent;  // "e" for Eject All, "q" for Quit
    bool enabled = true;  // Eject All without an ejectable volume, Fast Clean while one runs: off
};

using StatusMenu = std::vector<StatusMenuEntry>;

// The volume row titled `title` (its reference number), or nullptr. Never the memory row, whose
// title a volume may share.
StatusMenuEntry* findMenuItem(StatusMenu& menu, const std::string& title);
// The memory row, or nullptr.
StatusMenuEntry* findMemoryRow(StatusMenu& menu);

}  // namespace quillby
