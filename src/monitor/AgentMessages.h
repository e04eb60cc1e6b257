// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/events/EventBus.h"

namespace quillby {

// The texts the tray agent shows in balloons and tooltips.
namespace AgentMessages {

// "%@ is %@ successfully!" with the volume's name ("You disk" when empty) and "mounted" or
// "unmounted".
std::string volumeBalloonText(const std::string& volumeName, bool mounted);
// The same for a "QWVolumeMount" / "QWVolumeUnmount" event, reading the name from its
// "NSWorkspaceVolumeLocalizedNameKey".
std::string volumeBalloonText(const Event& event, bool mounted);
// The tray tooltip of the boot volume: "%@\nTotal Size:%@\nFree Space:%@".
std::string statusToolTip(const std::string& name, const std::string& totalText,
                          const std::string& freeText);

}  // namespace AgentMessages

}  // namespace quillby
