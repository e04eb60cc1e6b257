// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PlatformContext.h"

namespace quillby {

// Installs the Linux implementation of every platform service on the given roots.
void installLinuxPlatform(const PlatformContext& context);

}  // namespace quillby
