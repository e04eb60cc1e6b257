// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ChangeWatch.h"

namespace quillby {

// One item of the user's login-items list.
struct LoginItemEntry {
    // "URL": file URL of what the item starts (the program or document), or of the item's own
    // description when it names none.
    std::string url;
    // "Hidden": the item is turned off.
    bool hidden = false;

    // What the list knows besides: the item's identifier (unique in the list; on Linux the
    // desktop-entry file name), the file that describes it, its display name and icon.
    std::string identifier;
    std::string entryPath;
    std::string name;
    std::string icon;
    // The item comes with the system: it cannot be removed, only hidden.
    bool system = false;
};

// Results of the login-items operations: 0 for success, else one of these.
namespace LoginItemStatus {
inline constexpr int success = 0;
inline constexpr int ioFailure = -36;
inline constexpr int fileNotFound = -43;
inline constexpr int invalidItem = -50;
inline constexpr int systemItem = -61;
inline constexpr int timedOut = -1712;
}  // namespace LoginItemStatus

// The user's list of items started at login, in a stable order. Indexes count from 0 and refer
// to the list as copyLoginItems gives it.
class LoginItemsBackend {
  public:
    virtual ~LoginItemsBackend() = default;

    // Reads the whole list into `entries`; a LoginItemStatus.
    virtual int copyLoginItems(std::vector<LoginItemEntry>& entries) = 0;
    // Adds the file at `url` as a login item; fileNotFound when it does not exist.
    virtual int addURLAtEnd(const std::string& url, bool hidden) = 0;
    virtual int removeAtIndex(std::size_t index) = 0;
    virtual int setHiddenAtIndex(std::size_t index, bool hidden) = 0;
    // The URL that the item added from `path` carries in the list (what it starts).
    virtual std::string itemURLForPath(const std::string& path) = 0;
    // Calls `changed` on a thread of its own after the list changed, until the handle goes.
    virtual std::unique_ptr<ChangeWatch> watchChanges(std::function<void()> changed) = 0;
};

}  // namespace quillby
