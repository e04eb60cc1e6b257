// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "core/events/EventBus.h"
#include "core/events/Observable.h"

using namespace quillby;

TEST(EventBus, DeliversSynchronouslyOnThePostingThread) {
    EventBus bus;
    std::thread::id deliveredOn;
    int calls = 0;
    auto subscription = bus.observe("Ping", [&](const Event& event) {
        deliveredOn = std::this_thread::get_id();
        ++calls;
        EXPECT_EQ(event.name, "Ping");
        EXPECT_EQ(*userInfoValue<int>(event, "tag"), 3);
        EXPECT_EQ(userInfoValue<std::string>(event, "tag"), nullptr);  // wrong type
        EXPECT_EQ(userInfoValue<int>(event, "missing"), nullptr);
    });
    std::thread poster([&] {
        bus.post("Ping", {}, {{"tag", 3}});
        EXPECT_EQ(calls, 1);
    });
    auto posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(deliveredOn, posterId);
    bus.post("Pong");  // no observer: nothing happens
    EXPECT_EQ(calls, 1);
}

TEST(EventBus, DestroyedObserverStopsReceiving) {
    EventBus bus;
    int first = 0, second = 0;
    auto keep = bus.observe("E", [&](const Event&) { ++first; });
    {
        auto gone = bus.observe("E", [&](const Event&) { ++second; });
        bus.post("E");
    }
    bus.post("E");
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(bus.observerCount("E"), 1u);
}

TEST(EventBus, ObserverMayUnsubscribeItselfDuringDelivery) {
    EventBus bus;
    int calls = 0;
    std::optional<Subscription> self;
    self = bus.observe("E", [&](const Event&) {
        ++calls;
        self.reset();
    });
    bus.post("E");
    bus.post("E");
    EXPECT_EQ(calls, 1);
}

TEST(EventBus, UnsubscribingWaitsForADeliveryOnAnotherThread) {
    EventBus bus;
    std::atomic<bool> inHandler{false}, handlerDone{false};
    auto subscription = std::make_unique<Subscription>(bus.observe("Slow", [&](const Event&) {
        inHandler = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        handlerDone = true;
    }));
    std::thread poster([&] { bus.post("Slow"); });
    while (!inHandler) std::this_thread::yield();
    subscription.reset();  // must not return while the handler still runs
    EXPECT_TRUE(handlerDone);
    poster.join();
}

TEST(Observable, NotifiesEveryObserverUntilItsSubscriptionEnds) {
    Observable<int> value(5);
    std::vector<int> seen;
    auto subscription = value.observe([&](const int& v) { seen.push_back(v); });
    value.set(6);
    value.set(6);
    subscription.reset();
    value.set(7);
    EXPECT_EQ(seen, (std::vector<int>{6, 6}));
    EXPECT_EQ(value.get(), 7);
}

TEST(Observable, EndingASubscriptionWaitsForACallOnAnotherThread) {
    Observable<int> value(0);
    std::atomic<bool> inCallback{false}, callbackDone{false};
    std::atomic<int> calls{0};
    auto subscription = std::make_unique<Subscription>(value.observe([&](const int&) {
        ++calls;
        inCallback = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        callbackDone = true;
    }));
    std::thread setter([&] { value.set(1); });
    while (!inCallback) std::this_thread::yield();
    subscription.reset();  // must not return while the callback still runs
    EXPECT_TRUE(callbackDone);
    setter.join();
    value.set(2);
    EXPECT_EQ(calls, 1);
}

TEST(Observable, AnObserverMayEndItsOwnSubscription) {
    Observable<int> value(0);
    int calls = 0;
    Subscription subscription;
    subscription = value.observe([&](const int&) {
        ++calls;
        subscription.reset();
    });
    value.set(1);
    value.set(2);
    EXPECT_EQ(calls, 1);
}
