// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/events/Subscription.h"

namespace quillby {

// Named values carried by an event.
using UserInfo = std::map<std::string, std::any>;

struct Event {
    std::string name;
    std::any object;
    UserInfo userInfo;
};

// The process-wide, synchronous, name-keyed event bus: post() calls every observer of the name
// on the posting thread before it returns. Observers hold the returned Subscription; once it is
// destroyed the handler is never called again (destruction waits for a delivery in progress on
// another thread).
class EventBus {
  public:
    using Handler = std::function<void(const Event&)>;

    static EventBus& defaultCenter();

    [[nodiscard]] Subscription observe(std::string name, Handler handler);
    void post(std::string_view name, std::any object = {}, UserInfo userInfo = {});
    size_t observerCount(std::string_view name) const;

  private:
    struct Entry;
    mutable std::mutex mutex_;
    std::map<std::string, std::vector<std::shared_ptr<Entry>>, std::less<>> entries_;
};

// Reads a named value of an event's userInfo as T; nullptr when absent or of another type.
template <class T>
const T* userInfoValue(const Event& event, const std::string& key) {
    auto it = event.userInfo.find(key);
    return it == event.userInfo.end() ? nullptr : std::any_cast<T>(&it->second);
}

}  // namespace quillby
