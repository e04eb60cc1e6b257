// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

// One step of the ring page's breadcrumb: the name shown and the folder it leads to (ending in
// "/").
struct BreadcrumbComponent {
    std::string name;
    std::string path;
    bool operator==(const BreadcrumbComponent&) const = default;
};

// The breadcrumb from the scanned folder down to the current one: the scanned folder's name
// ("/" for the root of the file system), then each folder below it. A current folder outside
// the scanned one shows as itself alone. Both paths may end in "/" or not.
std::vector<BreadcrumbComponent> breadcrumbComponents(const std::string& scannedFolder,
                                                      const std::string& currentFolder);

}  // namespace quillby
