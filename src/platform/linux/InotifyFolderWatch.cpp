// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/InotifyFolderWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "core/events/Log.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t folderEvents = IN_CREATE | IN_DELETE | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                  IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                  IN_ONLYDIR;
constexpr uint32_t ancestorEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

}  // namespace

bool InotifyFolderWatch::concernsEntries(std::string_view name, std::string_view suffix) {
    return name.empty() ||
           (name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix);
}

InotifyFolderWatch::InotifyFolderWatch(std::vector<fs::path> folders, std::string suffix,
                                       std::function<void()> changed,
                                       std::chrono::milliseconds settle)
    : folders_(std::move(folders)),
      suffix_(std::move(suffix)),
      changed_(std::move(changed)),
      settle_(settle) {
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        QWLog("Cannot watch the login items: %s", std::strerror(errno));
        return;
    }
    while (arm()) {
    }
    thread_ = std::thread([this] { run(); });
}

InotifyFolderWatch::~InotifyFolderWatch() {
    if (thread_.joinable()) {
        char stop = 1;
        while (::write(stopPipe_[1], &stop, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    for (int fd : {inotify_, stopPipe_[0], stopPipe_[1]}) {
        if (fd >= 0) ::close(fd);
    }
}

// Arming again after every burst is cheap (a watch that exists keeps its descriptor) and follows
// folders that appeared, went away or were replaced. Watches no longer needed are dropped.
bool InotifyFolderWatch::arm() {
    std::map<fs::path, uint32_t> masks;
    std::multimap<fs::path, Watched> wanted;
    for (const auto& folder : folders_) {
        std::error_code error;
        if (fs::is_directory(folder, error)) {
            masks[folder] |= folderEvents;
            wanted.emplace(folder, Watched{folder, {}});
            continue;
        }
        for (fs::path child = folder; child.has_relative_path(); child = child.parent_path()) {
            fs::path ancestor = child.parent_path();
            if (fs::is_directory(ancestor, error)) {
                masks[ancestor] |= ancestorEvents;
                wanted.emplace(ancestor, Watched{folder, child.filename().string()});
                break;
            }
        }
    }
    std::multimap<int, Watched> armed;
    for (const auto& [path, mask] : masks) {
        int wd = ::inotify_add_watch(inotify_, path.c_str(), mask);
        if (wd < 0) continue;
        auto range = wanted.equal_range(path);
        for (auto it = range.first; it != range.second; ++it) armed.emplace(wd, it->second);
    }
    for (const auto& [wd, watched] : watches_) {
        if (!armed.count(wd)) ::inotify_rm_watch(inotify_, wd);
    }
    watches_ = std::move(armed);
    for (const auto& [ancestor, watched] : wanted) {
        std::error_code error;
        if (!watched.missingChild.empty() &&
            fs::is_directory(ancestor / watched.missingChild, error)) {
            return true;
        }
    }
    return false;
}

// Reads every queued event; true when one of them concerns a watched folder's entries.
bool InotifyFolderWatch::readEvents() {
    alignas(inotify_event) char buffer[16384];
    bool relevant = false;
    for (;;) {
        ssize_t length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0) break;
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            std::string_view name = event->len ? std::string_view(event->name) : "";
            auto range = watches_.equal_range(event->wd);
            for (auto it = range.first; it != range.second; ++it) {
                const Watched& watched = it->second;
                if (watched.missingChild.empty()) {
                    relevant = relevant || concernsEntries(name, suffix_);
                } else {
                    relevant = relevant || name == watched.missingChild;
                }
            }
        }
    }
    return relevant;
}

void InotifyFolderWatch::run() {
    bool pending = false;
    for (;;) {
        pollfd fds[2] = {{inotify_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        int timeout = pending ? static_cast<int>(settle_.count()) : -1;
        int ready = ::poll(fds, 2, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            QWLog("Watching the login items stopped: %s", std::strerror(errno));
            return;
        }
        if (fds[1].revents) return;
        if (ready == 0) {
            pending = false;
            changed_();
            continue;
        }
        if (readEvents()) pending = true;
        // A folder that appeared unseen may already hold entries: they are reported too.
        while (arm()) pending = true;
    }
}

}  // namespace quillby
