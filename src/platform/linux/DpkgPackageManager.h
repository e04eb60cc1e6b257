// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/PackageManagerBackend.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

// Debian's package manager, asked through dpkg-query: one search for the owners of every path,
// one query for their versions.
class DpkgPackageManager final : public PackageManagerBackend {
  public:
    explicit DpkgPackageManager(SystemTool dpkgQuery) : dpkgQuery_(std::move(dpkgQuery)) {}

    std::string name() const override { return "dpkg"; }
    std::map<std::string, OwningPackage> owningPackages(
        const std::vector<std::string>& paths) override;

    // The search pattern that matches exactly `path` (dpkg-query treats *, ? and [ as
    // wildcards and \ as their escape).
    static std::string exactPattern(const std::string& path);
    // Reads `dpkg-query --search` output: the first package of each line whose path is one of
    // `paths`. Diversion lines are skipped.
    static std::map<std::string, std::string> parseSearchOutput(const std::string& text,
                                                                const std::set<std::string>& paths);
    // Reads "package<TAB>version" lines.
    static std::map<std::string, std::string> parseVersions(const std::string& text);

  private:
    SystemTool dpkgQuery_;
};

}  // namespace quillby
