// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

namespace quillby {

// The package that installed a file.
struct OwningPackage {
    std::string name;     // as the package manager names it ("vim-common", "libfoo:amd64")
    std::string version;  // the installed version, "" when the manager did not say
};

// The system's package manager (dpkg, rpm, pacman) as the uninstaller needs it: which package
// installed a file, and at which version.
class PackageManagerBackend {
  public:
    virtual ~PackageManagerBackend() = default;

    // The manager's name for messages ("dpkg").
    virtual std::string name() const = 0;
    // The package that installed each of `paths`, asked in one query; paths that no package
    // installed are left out, and so is everything when the manager cannot be asked.
    virtual std::map<std::string, OwningPackage> owningPackages(
        const std::vector<std::string>& paths) = 0;
};

}  // namespace quillby
