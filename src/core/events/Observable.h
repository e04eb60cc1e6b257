// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "core/events/Subscription.h"

namespace quillby {

// A value that tells its observers about every change, on the thread that sets it. Observers
// hold the Subscription; ui code hops to the main thread itself. Once a subscription is gone its
// observer is never called again: ending it waits for a call running on another thread.
template <class T>
class Observable {
  public:
    using Callback = std::function<void(const T& value)>;

    Observable() = default;
    explicit Observable(T initial) : state_(std::make_shared<State>(std::move(initial))) {}

    T get() const {
        std::lock_guard lock(state_->mutex);
        return state_->value;
    }

    // Stores the value and calls every observer with it, even when it did not change.
    void set(T value) {
        std::map<int, std::shared_ptr<Observer>> observers;
        {
            std::lock_guard lock(state_->mutex);
            state_->value = value;
            observers = state_->observers;
        }
        for (auto& [id, observer] : observers) {
            std::lock_guard call(observer->callMutex);
            if (observer->alive) observer->callback(value);
        }
    }

    [[nodiscard]] Subscription observe(Callback callback) {
        auto observer = std::make_shared<Observer>();
        observer->callback = std::move(callback);
        std::lock_guard lock(state_->mutex);
        int id = state_->nextId++;
        state_->observers.emplace(id, observer);
        std::weak_ptr<State> weak = state_;
        return Subscription([weak, id, observer] {
            if (auto state = weak.lock()) {
                std::lock_guard lock(state->mutex);
                state->observers.erase(id);
            }
            // Waits for a call running on another thread; re-entrant from inside the callback.
            std::lock_guard call(observer->callMutex);
            observer->alive = false;
        });
    }

  private:
    struct Observer {
        Callback callback;
        std::recursive_mutex callMutex;  // held while the callback runs
        bool alive = true;               // guarded by callMutex
    };
    struct State {
        State() = default;
        explicit State(T initial) : value(std::move(initial)) {}
        mutable std::mutex mutex;
        T value{};
        int nextId = 0;
        std::map<int, std::shared_ptr<Observer>> observers;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace quillby
