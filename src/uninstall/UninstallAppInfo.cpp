// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallAppInfo.h"

#include "uninstall/UninstallAppDelegate.h"

namespace quillby {

UninstallAppInfo::UninstallAppInfo(const AppBackends& backends) {
    allAppsInfo_.reserve(100);
    UninstallAppDelegate(backends).getAppInfo(&allAppsInfo_);
}

}  // namespace quillby
