// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/events/EventBus.h"

#include <algorithm>

namespace quillby {

struct EventBus::Entry {
    Handler handler;
    std::recursive_mutex deliveryMutex;  // held while the handler runs
    bool alive = true;                   // guarded by deliveryMutex
};

EventBus& EventBus::defaultCenter() {
    static EventBus* bus = new EventBus;  // lives for the whole process
    return *bus;
}

Subscription EventBus::observe(std::string name, Handler handler) {
    auto entry = std::make_shared<Entry>();
    entry->handler = std::move(handler);
    {
        std::lock_guard lock(mutex_);
        entries_[name].push_back(entry);
    }
    std::weak_ptr<Entry> weak = entry;
    return Subscription([this, name = std::move(name), weak] {
        auto strong = weak.lock();
        if (!strong) return;
        {
            std::lock_guard lock(mutex_);
            auto it = entries_.find(name);
            if (it != entries_.end()) {
                std::erase(it->second, strong);
                if (it->second.empty()) entries_.erase(it);
            }
        }
        // Waits for a delivery running on another thread; re-entrant from inside the handler.
        std::lock_guard delivery(strong->deliveryMutex);
        strong->alive = false;
    });
}

void EventBus::post(std::string_view name, std::any object, UserInfo userInfo) {
    std::vector<std::shared_ptr<Entry>> targets;
    {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(name);
        if (it == entries_.end()) return;
        targets = it->second;
    }
    Event event{std::string(name), std::move(object), std::move(userInfo)};
    for (auto& entry : targets) {
        std::lock_guard delivery(entry->deliveryMutex);
        if (entry->alive) entry->handler(event);
    }
}

size_t EventBus::observerCount(std::string_view name) const {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(name);
    return it == entries_.end() ? 0 : it->second.size();
}

}  // namespace quillby
