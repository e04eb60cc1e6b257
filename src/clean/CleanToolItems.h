// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clean/CleanFileInfo.h"

namespace quillby {

class PrivilegedAuthorization;

// An item of a clean category that a package tool keeps (an unused runtime, a disabled
// revision, journal space above the user's limit): listed like a file, but removed by asking
// the tool, never by deleting its files.
struct CleanToolItem {
    std::string name;  // what the list shows
    std::string key;   // unique in its list; what the source reads back to remove it
    std::uint64_t bytes = 0;
    std::string icon;  // a desktop icon-theme name
    // What it is, in words people know, shown under its name where a file shows its path:
    // "Flatpak runtime no installed application uses, system installation".
    std::string description;
};

// How one removal through a tool went.
struct CleanToolRemoval {
    bool removed = false;
    std::uint64_t freedBytes = 0;
    std::string why;             // when not removed
    bool rightsMayHelp = false;  // administrator rights were missing
};

// One package tool's leftovers in a clean category. Listing and removing run tools: call them on
// a worker, never on the GUI thread.
class CleanToolItems {
  public:
    virtual ~CleanToolItems() = default;

    // The tool the items come from ("flatpak"), named when it is missing.
    virtual std::string_view toolName() const = 0;
    // The items; nothing when the tool is missing. `listedFiles` are the files the category's
    // folders listed in the same scan: an item whose removal also deletes some of them leaves
    // their bytes out of its own size, so ticking both never counts them twice.
    virtual std::optional<std::vector<CleanToolItem>> list(
        std::span<const CleanFileInfo> listedFiles) const = 0;
    // Removes the item through the tool, judging it again first; `authorization` (may be null)
    // is for a tool that needs the privileged helper.
    virtual CleanToolRemoval remove(const CleanToolItem& item,
                                    PrivilegedAuthorization* authorization) const = 0;

    // The sources of category `category` among the installed platform services: Flatpak's unused
    // runtimes and snapd's disabled revisions for System Caches, the journal above the
    // "SystemJournalLimit" setting for System Logs; none for the other categories.
    static std::vector<std::shared_ptr<const CleanToolItems>> ofCategory(int category);
};

using CleanToolSources = std::vector<std::shared_ptr<const CleanToolItems>>;

}  // namespace quillby
