// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/PrivilegedHelperSession.h"

namespace quillby {

// Starts the privileged helper, asking the user for an administrator's approval when needed.
class PrivilegedHelperLauncher {
  public:
    virtual ~PrivilegedHelperLauncher() = default;

    // A started helper, or nullptr (with `status` set to a non-zero reason) when it could not
    // be started.
    virtual std::unique_ptr<PrivilegedHelperSession> launch(int& status) = 0;
};

}  // namespace quillby
