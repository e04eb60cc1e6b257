// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/apps/AppItems.h"
#include "uninstall/AppBackends.h"

namespace quillby {

// The installed applications, found once: constructing it runs the whole discovery.
class UninstallAppInfo {
  public:
    // Runs discovery (UninstallAppDelegate::getAppInfo) through `backends`.
    explicit UninstallAppInfo(const AppBackends& backends);

    // Every application found, in discovery order.
    const std::vector<AppItems>& allAppsInfo() const { return allAppsInfo_; }

  private:
    std::vector<AppItems> allAppsInfo_;
};

}  // namespace quillby
