// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/FlatpakBackend.h"
#include "platform/PackageManagerBackend.h"
#include "platform/PackageRemovalService.h"
#include "platform/PlatformContext.h"
#include "platform/SnapBackend.h"

namespace quillby {

class PrivilegedAuthorization;

// What the uninstaller reaches the machine through: the folders, and one backend per way an
// application can be installed. Any backend may be missing (nullptr): its applications are then
// listed from their files alone and cannot be removed.
struct AppBackends {
    PlatformContext context;
    std::shared_ptr<PackageManagerBackend> packageManager;
    // Removes packages without the helper (PackageKit), when it runs.
    std::shared_ptr<PackageRemovalService> packageRemoval;
    std::shared_ptr<FlatpakBackend> flatpak;
    std::shared_ptr<SnapBackend> snap;
    // The administrator rights for the helper's removals; nullptr means the shared ones.
    PrivilegedAuthorization* authorization = nullptr;

    // The process's context and the backends installed in Services.
    static AppBackends fromServices();
    // The rights to use: `authorization`, else the shared instance.
    PrivilegedAuthorization& rights() const;
};

}  // namespace quillby
