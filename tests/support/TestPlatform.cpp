// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestPlatform.h"

#include "core/settings/UserDefaults.h"
#include "platform/MemoryPreferencesStore.h"
#include "platform/Services.h"

using namespace quillby;

TestPlatform::TestPlatform()
    : context_(PlatformContext::underRoot(root_.path())),
      previousContext_(Services::context()),
      store_(std::make_shared<MemoryPreferencesStore>()) {
    Services::setContext(context_);
    UserDefaults::setStandardUserDefaults(std::make_shared<UserDefaults>(store_));
}

TestPlatform::~TestPlatform() {
    UserDefaults::setStandardUserDefaults(nullptr);
    Services::setContext(previousContext_);
}
