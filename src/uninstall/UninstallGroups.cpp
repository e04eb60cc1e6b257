// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallGroups.h"

namespace quillby {

const std::array<UninstallGroup, 3>& UninstallGroups::rows() {
    static const std::array<UninstallGroup, 3> groups = {{
        {"All Applications", "uninstall_all.png"},
        {"System Applications", "uninstall_system.png"},
        {"Applications", "uninstall_app.png"},
    }};
    return groups;
}

bool UninstallGroups::isGroupRow(int row) {
    return row >= 0 && row < static_cast<int>(rows().size());
}

bool UninstallGroups::shows(int row, const AppItems& app) {
    switch (row) {
        case allApplications:
            return true;
        case systemApplications:
            return app.isSystemApp;
        case applications:
            return !app.isSystemApp;
        default:
            return false;
    }
}

}  // namespace quillby
