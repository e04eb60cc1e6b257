// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/PackageManagerDetection.h"

#include "platform/linux/DpkgPackageManager.h"
#include "platform/linux/PacmanPackageManager.h"
#include "platform/linux/RpmPackageManager.h"

namespace quillby {

namespace fs = std::filesystem;

std::shared_ptr<PackageManagerBackend> PackageManagerDetection::detect(
    const PlatformContext& context) {
    std::error_code error;
    fs::path lib = context.varRoot / "lib";
    if (fs::exists(lib / "dpkg/status", error)) {
        if (auto tool = SystemTool::find("dpkg-query", context)) {
            return std::make_shared<DpkgPackageManager>(*tool);
        }
    }
    if (fs::exists(lib / "rpm", error)) {
        if (auto tool = SystemTool::find("rpm", context)) {
            return std::make_shared<RpmPackageManager>(*tool);
        }
    }
    if (fs::exists(lib / "pacman/local", error)) {
        if (auto tool = SystemTool::find("pacman", context)) {
            return std::make_shared<PacmanPackageManager>(*tool);
        }
    }
    return nullptr;
}

}  // namespace quillby
