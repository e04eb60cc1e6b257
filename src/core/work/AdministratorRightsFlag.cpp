// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/AdministratorRightsFlag.h"

#include <atomic>

#include "core/events/EventBus.h"
#include "core/events/Events.h"

namespace quillby {

namespace {
std::atomic<bool> rightsObtained{false};
}

bool AdministratorRightsFlag::isSet() {
    return rightsObtained.load(std::memory_order_relaxed);
}

void AdministratorRightsFlag::set(bool value) {
    if (rightsObtained.exchange(value, std::memory_order_relaxed) == value) return;
    EventBus::defaultCenter().post(Events::changeLockState);
}

const char* AdministratorRightsFlag::lockImageName() {
    return isSet() ? "Unlock.png" : "Lock.png";
}

}  // namespace quillby
