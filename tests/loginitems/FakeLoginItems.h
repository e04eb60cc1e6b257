// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/fs/FileURL.h"
#include "platform/LoginItemsBackend.h"
#include "platform/Services.h"

using namespace quillby;

// A login-items list in memory whose answers a test scripts, installed as the process's
// login-items service for the life of the object.
class FakeLoginItems final : public LoginItemsBackend {
  public:
    static std::shared_ptr<FakeLoginItems> install() {
        auto fake = std::make_shared<FakeLoginItems>();
        Services::install<LoginItemsBackend>(fake);
        return fake;
    }
    static void uninstall() { Services::install<LoginItemsBackend>(nullptr); }

    static LoginItemEntry item(const std::string& identifier, const std::string& path,
                               bool hidden = false) {
        LoginItemEntry entry;
        entry.identifier = identifier;
        entry.url = fileURLFromPath(path);
        entry.hidden = hidden;
        return entry;
    }

    int copyLoginItems(std::vector<LoginItemEntry>& out) override {
        ++copyCalls;
        if (!copyStatuses.empty()) {
            int status = copyStatuses.front();
            copyStatuses.pop_front();
            if (status != LoginItemStatus::success) return status;
        }
        out = entries;
        return LoginItemStatus::success;
    }
    int addURLAtEnd(const std::string& url, bool hidden) override {
        added.emplace_back(url, hidden);
        if (addStatus != LoginItemStatus::success) return addStatus;
        LoginItemEntry entry;
        entry.url = url;
        entry.hidden = hidden;
        entry.identifier = "added-" + std::to_string(added.size()) + ".desktop";
        entries.push_back(entry);
        return LoginItemStatus::success;
    }
    int removeAtIndex(std::size_t index) override {
        if (removeStatus != LoginItemStatus::success) return removeStatus;
        if (index >= entries.size()) return LoginItemStatus::invalidItem;
        removed.push_back(entries[index].identifier);
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
        return LoginItemStatus::success;
    }
    int setHiddenAtIndex(std::size_t index, bool hidden) override {
        ++hiddenWrites;
        if (hiddenStatus != LoginItemStatus::success) return hiddenStatus;
        if (index >= entries.size()) return LoginItemStatus::invalidItem;
        entries[index].hidden = hidden;
        return LoginItemStatus::success;
    }
    std::string itemURLForPath(const std::string& path) override { return fileURLFromPath(path); }
    std::unique_ptr<ChangeWatch> watchChanges(std::function<void()> changed) override {
        changedCallback = std::move(changed);
        return nullptr;
    }

    std::vector<LoginItemEntry> entries;
    std::deque<int> copyStatuses;
    int addStatus = LoginItemStatus::success;
    int removeStatus = LoginItemStatus::success;
    int hiddenStatus = LoginItemStatus::success;

    int copyCalls = 0;
    int hiddenWrites = 0;
    std::vector<std::pair<std::string, bool>> added;
    std::vector<std::string> removed;
    std::function<void()> changedCallback;
};
