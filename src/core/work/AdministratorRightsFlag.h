// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// The process-wide rights flag that every page with a lock button reads: false at start, true
// once administrator rights were obtained. A lock button shows "Unlock.png" (on) while it is true
// and "Lock.png" (off) otherwise; pages hear of changes through "changeLockState".
class AdministratorRightsFlag {
  public:
    // True once administrator rights were obtained in this run.
    static bool isSet();
    // Stores the flag and posts "changeLockState" when its value changed.
    static void set(bool value);
    // The lock button's image for the flag's current value.
    static const char* lockImageName();
};

}  // namespace quillby
