#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "core/Subscription.h"

// A value that tells its observers about every change, on the thread that sets it. Observers
// hold the Subscription; ui code hops to the main thread itself.
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
        std::map<int, std::shared_ptr<Callback>> observers;
        {
            std::lock_guard lock(state_->mutex);
            state_->value = value;
            observers = state_->observers;
        }
        for (auto& [id, callback] : observers) (*callback)(value);
    }

    [[nodiscard]] Subscription observe(Callback callback) {
        std::lock_guard lock(state_->mutex);
        int id = state_->nextId++;
        state_->observers.emplace(id, std::make_shared<Callback>(std::move(callback)));
        std::weak_ptr<State> weak = state_;
        return Subscription([weak, id] {
            if (auto state = weak.lock()) {
                std::lock_guard lock(state->mutex);
                state->observers.erase(id);
            }
        });
    }

  private:
    struct State {
        State() = default;
        explicit State(T initial) : value(std::move(initial)) {}
        mutable std::mutex mutex;
        T value{};
        int nextId = 0;
        std::map<int, std::shared_ptr<Callback>> observers;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};
