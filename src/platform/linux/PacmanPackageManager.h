// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/PackageManagerBackend.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

// Arch Linux's package manager, asked through "pacman --query --owns".
class PacmanPackageManager final : public PackageManagerBackend {
  public:
    explicit PacmanPackageManager(SystemTool pacman) : pacman_(std::move(pacman)) {}

    std::string name() const override { return "pacman"; }
    std::map<std::string, OwningPackage> owningPackages(
        const std::vector<std::string>& paths) override;

    // Reads "PATH is owned by NAME VERSION" lines for the paths among `paths`.
    static std::map<std::string, OwningPackage> parseOwners(const std::string& text,
                                                            const std::set<std::string>& paths);

  private:
    SystemTool pacman_;
};

}  // namespace quillby
