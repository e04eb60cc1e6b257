// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageBreadcrumb.h"

#include "core/fs/PathRules.h"

namespace quillby {

namespace {

// The last component of a folder path that ends in "/"; "/" for the root.
std::string lastName(const std::string& folder) {
    if (folder == "/") return folder;
    std::size_t end = folder.size() - 1;
    std::size_t slash = folder.rfind('/', end - 1);
    return folder.substr(slash + 1, end - slash - 1);
}

}  // namespace

std::vector<BreadcrumbComponent> breadcrumbComponents(const std::string& scannedFolder,
                                                      const std::string& currentFolder) {
    std::string scanned = pathInside(scannedFolder, "");
    std::string current = pathInside(currentFolder, "");
    if (current.compare(0, scanned.size(), scanned) != 0) return {{lastName(current), current}};
    std::vector<BreadcrumbComponent> components{{lastName(scanned), scanned}};
    std::size_t from = scanned.size();
    while (from < current.size()) {
        std::size_t slash = current.find('/', from);
        components.push_back({current.substr(from, slash - from), current.substr(0, slash + 1)});
        from = slash + 1;
    }
    return components;
}

}  // namespace quillby
