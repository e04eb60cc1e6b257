// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/PackageRemovalService.h"
#include "platform/PackageUpdateService.h"

namespace quillby {

// PackageKit on the system bus (sd-bus). A removal is two transactions: SearchFiles finds the
// installed package that owns the entry, then RemovePackages removes that package alone
// (dependent packages are never taken along), with PackageKit asking the user for an
// administrator's approval. An update check is GetUpdates (the updates the package manager
// already knows of), then, when the package has none, Resolve among the installed packages to
// tell "up to date" from "not installed as a package".
class PackageKitService final : public PackageRemovalService, public PackageUpdateService {
  public:
    bool isRunning() override;
    bool removePackage(const std::string& package, const std::string& ownedPath,
                       std::string& why) override;
    PackageUpdateAnswer newerVersion(const std::string& package) override;

    // The package name of a PackageKit package ID ("vim;2:9.0;amd64;installed:debian" gives
    // "vim").
    static std::string packageNameOfId(const std::string& packageId);
    // The version field of a package ID ("2:9.0" in the example above).
    static std::string packageVersionOfId(const std::string& packageId);
    // True when a package name as the package manager gives it ("libfoo:amd64") names the
    // package of `packageId`.
    static bool idNamesPackage(const std::string& packageId, const std::string& package);
};

}  // namespace quillby
