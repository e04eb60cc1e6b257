// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/PackageManagerBackend.h"
#include "platform/PlatformContext.h"

namespace quillby {

// Picks the machine's package manager: the first of dpkg, rpm and pacman whose database exists
// under the context's /var and whose tool is on its search path.
class PackageManagerDetection {
  public:
    // The package manager, or nullptr when the machine has none of them.
    static std::shared_ptr<PackageManagerBackend> detect(const PlatformContext& context);
};

}  // namespace quillby
