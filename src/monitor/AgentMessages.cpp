// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/AgentMessages.h"

#include "core/events/Events.h"

namespace quillby {

namespace AgentMessages {

std::string volumeBalloonText(const std::string& volumeName, bool mounted) {
    std::string name = volumeName.empty() ? "You disk" : volumeName;
    return name + " is " + (mounted ? "mounted" : "unmounted") + " successfully!";
}

std::string volumeBalloonText(const Event& event, bool mounted) {
    const auto* name =
        userInfoValue<std::string>(event, EventKeys::NSWorkspaceVolumeLocalizedNameKey);
    return volumeBalloonText(name ? *name : std::string(), mounted);
}

std::string statusToolTip(const std::string& name, const std::string& totalText,
                          const std::string& freeText) {
    return name + "\nTotal Size:" + totalText + "\nFree Space:" + freeText;
}

}  // namespace AgentMessages

}  // namespace quillby
