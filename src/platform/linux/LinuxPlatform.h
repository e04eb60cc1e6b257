#pragma once

#include "platform/PlatformContext.h"

// Installs the Linux implementation of every platform service on the given roots.
void installLinuxPlatform(const PlatformContext& context);
