// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/PackageManagerBackend.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

// RPM-based systems, asked through rpm: one query lists the files of every package owning one
// of the paths, with the package's name and version, so that each path finds its own owner
// even when several paths share a package.
class RpmPackageManager final : public PackageManagerBackend {
  public:
    explicit RpmPackageManager(SystemTool rpm) : rpm_(std::move(rpm)) {}

    std::string name() const override { return "rpm"; }
    std::map<std::string, OwningPackage> owningPackages(
        const std::vector<std::string>& paths) override;

    // Reads "file<TAB>name<TAB>version" lines, keeping the first owner of each of `paths`.
    static std::map<std::string, OwningPackage> parseFileList(const std::string& text,
                                                              const std::set<std::string>& paths);

  private:
    SystemTool rpm_;
};

}  // namespace quillby
