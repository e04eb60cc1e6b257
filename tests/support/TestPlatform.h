// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/PlatformContext.h"
#include "support/TempDir.h"

using namespace quillby;

namespace quillby {
class MemoryPreferencesStore;
}

// Points the process's platform at a fixture tree in a fresh temporary folder, with settings in
// memory, for the life of the object; the previous state comes back afterwards.
class TestPlatform {
  public:
    TestPlatform();
    ~TestPlatform();

    const TempDir& root() const { return root_; }
    const PlatformContext& context() const { return context_; }
    MemoryPreferencesStore& preferences() { return *store_; }

  private:
    TempDir root_;
    PlatformContext context_;
    PlatformContext previousContext_;
    std::shared_ptr<MemoryPreferencesStore> store_;
};
