// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillby {

class UserDefaults;

// The duplicate search's settings: the size threshold, the two include options and what the
// walk leaves out.
struct DuplicateSearchSettings {
    std::uint64_t threshold = 0;  // files must be strictly larger
    bool includeHidden = false;
    bool includeSystem = false;
    std::vector<std::string> excludes;  // see DuplicateSearchOptions::excludes
    // Folders whose copies stay before the others ("Keep copies in this folder"): the search
    // gives its result's members inside them (see membersInFolders).
    std::vector<std::string> keepIn;

    // Reads "QWDuplicationLimit", "QWDuplicatesUnit", "QWHidenDuplication",
    // "QWSystemDuplication" (missing settings give 0, bytes and false) and "DuplicateExcludes"
    // (one exclusion a line).
    static DuplicateSearchSettings fromUserDefaults(const UserDefaults& defaults);
    // The limit times its unit: 1 KB (1000), 2 MB, 3 GB, 4 TB, anything else bytes. A negative
    // limit counts as 0; a product beyond 64 bits is the largest byte count.
    static std::uint64_t thresholdFor(std::int64_t limit, std::int64_t unit);
};

}  // namespace quillby
