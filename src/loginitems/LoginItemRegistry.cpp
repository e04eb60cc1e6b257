// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/LoginItemRegistry.h"

#include <mutex>
#include <thread>

#include "core/events/Log.h"
#include "core/fs/FileURL.h"
#include "platform/Services.h"

namespace quillby {

namespace {

constexpr int maximumTimeOuts = 61;

std::mutex pauseMutex;
std::function<void(std::chrono::seconds)> retryPause;

void pauseBeforeRetry() {
    std::function<void(std::chrono::seconds)> pause;
    {
        std::lock_guard lock(pauseMutex);
        pause = retryPause;
    }
    if (pause) {
        pause(std::chrono::seconds(1));
    } else {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

}  // namespace

int LoginItemRegistry::indexOfFirst(const std::function<bool(const LoginItemEntry&)>& matches) {
    auto entries = allLoginItems();
    if (!entries) return -1;
    for (size_t i = 0; i < entries->size(); ++i) {
        if (matches((*entries)[i])) return static_cast<int>(i);
    }
    return -1;
}

std::shared_ptr<LoginItemsBackend> LoginItemRegistry::backend() {
    auto service = Services::get<LoginItemsBackend>();
    if (!service) QWLog("No login-items service is installed");
    return service;
}

void LoginItemRegistry::setRetryPause(std::function<void(std::chrono::seconds)> pause) {
    std::lock_guard lock(pauseMutex);
    retryPause = std::move(pause);
}

std::optional<std::vector<LoginItemEntry>> LoginItemRegistry::allLoginItems() {
    auto service = backend();
    if (!service) return std::nullopt;
    for (int timeOuts = 0;;) {
        std::vector<LoginItemEntry> entries;
        int status = service->copyLoginItems(entries);
        if (status == LoginItemStatus::success) return entries;
        if (status != LoginItemStatus::timedOut) {
            QWLog("Couldn't list login items error %d", status);
            return std::nullopt;
        }
        QWLog("Get login items error -1712 occur.");
        if (++timeOuts == maximumTimeOuts) {
            QWLog("Get login items error -1712 and timeout.");
            return std::nullopt;
        }
        pauseBeforeRetry();
    }
}

bool LoginItemRegistry::addLoginItemWithURL(const std::string& url, bool hideIt) {
    auto service = backend();
    int status = service ? service->addURLAtEnd(url, hideIt) : LoginItemStatus::invalidItem;
    if (status != LoginItemStatus::success) {
        QWLog("Couldn't add login item error %d", status);
        return false;
    }
    return true;
}

bool LoginItemRegistry::addLoginItemWithPath(const std::string& path, bool hideIt) {
    return addLoginItemWithURL(fileURLFromPath(path), hideIt);
}

bool LoginItemRegistry::removeLoginItemAtIndex(int index) {
    auto service = backend();
    int status = !service || index < 0 ? LoginItemStatus::invalidItem
                                       : service->removeAtIndex(static_cast<size_t>(index));
    if (status != LoginItemStatus::success) {
        QWLog("Couldn't remove login item error %d", status);
        return false;
    }
    return true;
}

bool LoginItemRegistry::setLoginItemHiddenAtIndex(int index, bool hidden) {
    auto service = backend();
    int status = !service || index < 0
                     ? LoginItemStatus::invalidItem
                     : service->setHiddenAtIndex(static_cast<size_t>(index), hidden);
    if (status != LoginItemStatus::success) {
        QWLog("Couldn't change the hidden flag of login item error %d", status);
        return false;
    }
    return true;
}

std::string LoginItemRegistry::loginItemURLForPath(const std::string& path) {
    auto service = backend();
    return service ? service->itemURLForPath(path) : fileURLFromPath(path);
}

int LoginItemRegistry::indexForLoginItemWithURL(const std::string& url) {
    return indexOfFirst([&url](const LoginItemEntry& entry) { return entry.url == url; });
}

int LoginItemRegistry::indexForLoginItemWithPath(const std::string& path) {
    return indexForLoginItemWithURL(loginItemURLForPath(path));
}

int LoginItemRegistry::indexForLoginItemWithIdentifier(const std::string& identifier) {
    return indexOfFirst(
        [&identifier](const LoginItemEntry& entry) { return entry.identifier == identifier; });
}

bool LoginItemRegistry::removeLoginItemWithURL(const std::string& url) {
    int index = indexForLoginItemWithURL(url);
    return index != -1 && removeLoginItemAtIndex(index);
}

bool LoginItemRegistry::removeLoginItemWithPath(const std::string& path) {
    return removeLoginItemWithURL(loginItemURLForPath(path));
}

std::unique_ptr<ChangeWatch> LoginItemRegistry::watchLoginItems(std::function<void()> changed) {
    auto service = backend();
    return service ? service->watchChanges(std::move(changed)) : nullptr;
}

}  // namespace quillby
