// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/AppBackends.h"

#include "core/work/PrivilegedAuthorization.h"
#include "platform/Services.h"

namespace quillby {

AppBackends AppBackends::fromServices() {
    AppBackends backends;
    backends.context = Services::context();
    backends.packageManager = Services::get<PackageManagerBackend>();
    backends.packageRemoval = Services::get<PackageRemovalService>();
    backends.flatpak = Services::get<FlatpakBackend>();
    backends.snap = Services::get<SnapBackend>();
    return backends;
}

PrivilegedAuthorization& AppBackends::rights() const {
    return authorization ? *authorization : PrivilegedAuthorization::sharedAuthorization();
}

}  // namespace quillby
