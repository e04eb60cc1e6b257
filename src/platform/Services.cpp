// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Services.h"

namespace quillby {

namespace {
PlatformContext& storedContext() {
    static PlatformContext* context = new PlatformContext(PlatformContext::fromEnvironment());
    return *context;
}
}  // namespace

std::mutex& Services::mutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::map<std::type_index, std::any>& Services::registry() {
    static auto* map = new std::map<std::type_index, std::any>;
    return *map;
}

const PlatformContext& Services::context() {
    std::lock_guard lock(mutex());
    return storedContext();
}

void Services::setContext(PlatformContext context) {
    std::lock_guard lock(mutex());
    storedContext() = std::move(context);
}

}  // namespace quillby
