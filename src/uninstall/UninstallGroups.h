// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

#include "core/apps/AppItems.h"

namespace quillby {

// The three groups of the uninstaller's left list.
struct UninstallGroup {
    const char* title;
    const char* icon;
};

class UninstallGroups {
  public:
    static constexpr int allApplications = 0;
    static constexpr int systemApplications = 1;
    static constexpr int applications = 2;

    // The rows top-down: "All Applications", "System Applications", "Applications".
    static const std::array<UninstallGroup, 3>& rows();
    // True when `row` is one of the three rows.
    static bool isGroupRow(int row);
    // True when `app` is shown in group `row`.
    static bool shows(int row, const AppItems& app);
};

}  // namespace quillby
