// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/LoginItemsBackend.h"

namespace quillby {

// The user's login items, read and changed through the installed login-items service. Class
// operations without state; failures are logged and reported as false, nothing, or -1.
class LoginItemRegistry {
  public:
    // The whole list in its order. A time-out is tried again after a one-second pause, up to 61
    // attempts; after the last one, or on any other error, the list reads as nothing.
    static std::optional<std::vector<LoginItemEntry>> allLoginItems();

    // Adds the file at `url`; false (logged) when it cannot be added, e.g. it does not exist.
    static bool addLoginItemWithURL(const std::string& url, bool hideIt);
    // The same with the URL the item made from `path` carries.
    static bool addLoginItemWithPath(const std::string& path, bool hideIt);
    // Removes the item at `index` (from 0); false (logged) when it cannot be removed.
    static bool removeLoginItemAtIndex(int index);

    // Position of the first item whose "URL" equals `url`, or -1.
    static int indexForLoginItemWithURL(const std::string& url);
    static int indexForLoginItemWithPath(const std::string& path);
    // Position of the item with this identifier (desktop-entry file name), or -1.
    static int indexForLoginItemWithIdentifier(const std::string& identifier);

    // False when no item has the URL, else the removal's result.
    static bool removeLoginItemWithURL(const std::string& url);
    static bool removeLoginItemWithPath(const std::string& path);

    // Turns the item at `index` off (hidden) or on; false (logged) when that fails.
    static bool setLoginItemHiddenAtIndex(int index, bool hidden);

    // The URL an item added from `path` carries in the list.
    static std::string loginItemURLForPath(const std::string& path);

    // Calls `changed` on a thread of its own whenever the list changes, until the handle goes;
    // nullptr when no watch can be made.
    static std::unique_ptr<ChangeWatch> watchLoginItems(std::function<void()> changed);

    // Replaces the one-second pause between attempts (tests); nullptr restores sleeping.
    static void setRetryPause(std::function<void(std::chrono::seconds)> pause);

  private:
    static std::shared_ptr<LoginItemsBackend> backend();
    // Position of the first item that `matches`, or -1 (also when the list cannot be read).
    static int indexOfFirst(const std::function<bool(const LoginItemEntry&)>& matches);
};

}  // namespace quillby
