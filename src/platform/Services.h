// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <map>
#include <memory>
#include <mutex>
#include <typeindex>

#include "platform/PlatformContext.h"

namespace quillby {

// The process's platform services, installed once by each executable's start-up (and by tests
// with fixtures), so that the class-level operations of the engines can reach them.
class Services {
  public:
    template <class T>
    static void install(std::shared_ptr<T> service) {
        std::lock_guard lock(mutex());
        registry()[std::type_index(typeid(T))] = std::move(service);
    }

    // The installed service of type T, or nullptr.
    template <class T>
    static std::shared_ptr<T> get() {
        std::lock_guard lock(mutex());
        auto it = registry().find(std::type_index(typeid(T)));
        if (it == registry().end()) return nullptr;
        return std::any_cast<std::shared_ptr<T>>(it->second);
    }

    static const PlatformContext& context();
    static void setContext(PlatformContext context);

  private:
    static std::mutex& mutex();
    static std::map<std::type_index, std::any>& registry();
};

}  // namespace quillby
