// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/ChangeWatch.h"

namespace quillby {

// Watches folders with inotify and calls `changed` on its own thread once a burst of changes has
// settled (one call for a file written in several steps). A folder that does not exist yet is
// watched for through its nearest existing ancestor and taken up when it appears; one that goes
// away is watched for again. Only entries whose name ends with `suffix` count (all when it is
// empty).
class InotifyFolderWatch final : public ChangeWatch {
  public:
    InotifyFolderWatch(std::vector<std::filesystem::path> folders, std::string suffix,
                       std::function<void()> changed,
                       std::chrono::milliseconds settle = std::chrono::milliseconds(100));
    ~InotifyFolderWatch() override;
    InotifyFolderWatch(const InotifyFolderWatch&) = delete;
    InotifyFolderWatch& operator=(const InotifyFolderWatch&) = delete;

    // False when inotify could not be set up (logged); the watch then never reports.
    bool isRunning() const { return thread_.joinable(); }

    // Whether an event about the entry `name` of a watched folder counts as a change: the
    // folder itself ("") or an entry with the watched ending; other files in it do not.
    static bool concernsEntries(std::string_view name, std::string_view suffix);

  private:
    struct Watched {
        std::filesystem::path folder;
        // Empty when the folder itself is watched; else the name, in the watched ancestor, of
        // the next folder on the way to it.
        std::string missingChild;
    };

    // True when a folder on the way appeared while its ancestor's watch was being added: its
    // creation sends no event, so the caller arms again.
    bool arm();
    void run();
    bool readEvents();

    std::vector<std::filesystem::path> folders_;
    std::string suffix_;
    std::function<void()> changed_;
    std::chrono::milliseconds settle_;
    int inotify_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::multimap<int, Watched> watches_;
    std::thread thread_;
};

}  // namespace quillby
