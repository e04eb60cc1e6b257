// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <any>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "clean/CategoryFolders.h"
#include "clean/CleanRules.h"
#include "clean/DeleteFolderOperation.h"
#include "clean/InternalVolumeSource.h"
#include "core/events/EventBus.h"
#include "core/work/PrivilegedAuthorization.h"
#include "support/TestPlatform.h"

using namespace quillby;

// A volume list given by the test.
class FakeVolumes : public InternalVolumeSource {
  public:
    explicit FakeVolumes(std::vector<std::filesystem::path> roots) : roots_(std::move(roots)) {}
    std::vector<std::filesystem::path> internalVolumeRoots() const override { return roots_; }

  private:
    std::vector<std::filesystem::path> roots_;
};

// A machine in a temporary folder: a home with caches, state, trash and downloads, a /var with
// package caches and logs, and two more internal volumes with trash folders.
class CleanFixture {
  public:
    CleanFixture() {
        const auto& dir = platform.root();
        std::string uid = std::to_string(platform.context().uid);
        // User caches: hidden entries too.
        dir.write("home/.cache/fontconfig/cache-1", std::string(100, 'f'));
        dir.write("home/.cache/.hidden", "hh");
        // User state: logs next to state that must stay.
        dir.write("home/.local/state/app/x.log", std::string(40, 'l'));
        dir.write("home/.local/state/app/x.log.1", std::string(30, 'o'));
        dir.write("home/.local/state/app/state.db", "state");
        dir.write("home/.local/state/app/logs/today", std::string(50, 't'));
        dir.write("home/.local/state/wireplumber/stream-properties", "keep");
        dir.write("home/.xsession-errors", "live");
        dir.write("home/.xsession-errors.old", std::string(80, 'p'));
        dir.write("home/notes.txt", "mine");
        // Trash of the home.
        dir.write("home/.local/share/Trash/files/report.pdf", std::string(1000, 'r'));
        dir.write("home/.local/share/Trash/files/album/song", std::string(2000, 's'));
        dir.write("home/.local/share/Trash/info/report.pdf.trashinfo", "[Trash Info]\n");
        dir.write("home/.local/share/Trash/info/album.trashinfo", "[Trash Info]\n");
        dir.write("home/.local/share/Trash/info/ghost.trashinfo", "[Trash Info]\n");
        dir.write("home/.local/share/Trash/expunged/half-gone/x", "x");
        dir.write("home/.local/share/Trash/directorysizes", "2000 1 album\n");
        // Downloads.
        dir.write("home/Downloads/setup.iso", std::string(3000, 'i'));
        // Package caches: a lock and unfinished downloads must stay.
        dir.write("var/cache/apt/archives/tool_1.0_amd64.deb", std::string(400, 'd'));
        dir.write("var/cache/apt/archives/lock", "");
        dir.write("var/cache/apt/archives/partial/next_2.0_amd64.deb", std::string(50, 'p'));
        dir.write("var/cache/dnf/fedora-1a2b/packages/tool-1.0.rpm", std::string(700, 'r'));
        dir.write("var/cache/dnf/fedora-1a2b/metadata_lock.pid", "42");
        // System logs: live ones stay at every depth, rotated ones may go.
        dir.write("var/log/syslog", "live");
        dir.write("var/log/syslog.1", std::string(10, '1'));
        dir.write("var/log/syslog.2.gz", std::string(20, '2'));
        dir.write("var/log/dpkg.log", "live");
        dir.write("var/log/nginx/access.log", "live");
        dir.write("var/log/nginx/access.log.1", std::string(30, 'a'));
        dir.write("var/log/apt/history.log-20240101", std::string(40, 'h'));
        dir.write("var/log/journal/0123/system.journal", "live");
        dir.write("var/log/journal/0123/system@0001-0002.journal", std::string(50, 'j'));
        // Two more internal volumes with trash folders.
        dir.write("vol1/.Trash-" + uid + "/files/old-photo", std::string(500, 'o'));
        dir.write("vol1/.Trash-" + uid + "/info/old-photo.trashinfo", "[Trash Info]\n");
        dir.write("vol2/.Trash/" + uid + "/files/draft", std::string(600, 'w'));
        std::filesystem::permissions(
            dir / "vol2/.Trash", std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
        // A shared trash that is not sticky must not be used.
        dir.write("vol3/.Trash/" + uid + "/files/untrusted", "u");
        volumes = std::make_shared<FakeVolumes>(
            std::vector<std::filesystem::path>{"/", dir / "vol1", dir / "vol2", dir / "vol3"});
    }

    CategoryFolders folders() const { return CategoryFolders(platform.context(), volumes); }
    std::filesystem::path operator/(const std::string& relative) const {
        return platform.root() / relative;
    }

    TestPlatform platform;
    std::shared_ptr<FakeVolumes> volumes;
};

// The clean folders of the categories `ids` on the fixture machine, in category order.
inline std::vector<CleanFolder> foldersOf(const CleanFixture& machine, std::vector<int> ids) {
    std::vector<CleanFolder> folders;
    for (int id : ids) {
        for (auto& folder : machine.folders().cleanFolders(id)) folders.push_back(folder);
    }
    return folders;
}

// Not holding any rights: a protected folder must be reported, not touched.
inline PrivilegedAuthorization& noRights() {
    static PrivilegedAuthorization* none = new PrivilegedAuthorization(nullptr);
    return *none;
}

// A clean folder whose rule lets every entry in it go.
inline CleanFolder everything(const std::filesystem::path& path) {
    return {path, std::make_shared<EveryEntryRule>()};
}

// Cleans `folders` holding no rights, as an ordinary user's quick clean does.
inline void cleanWithoutRights(std::vector<CleanFolder> folders) {
    DeleteFolderOperation(std::move(folders), {.authorization = &noRights()}).main();
}

// The events of a clean, for an EventRecorder.
inline const std::vector<std::string> kCleanEvents{"BeginFastClean", "DeleteFileSuccess",
                                                   "DeleteFileFailed", "FastCleanFinish",
                                                   "FastCleanCanceled"};

// Records the clean events in the order they arrive.
class EventRecorder {
  public:
    struct Record {
        std::string name;
        std::string path;
        std::any size;
    };

    explicit EventRecorder(std::vector<std::string> names) {
        for (const auto& name : names) {
            subscriptions_.push_back(
                EventBus::defaultCenter().observe(name, [this](const Event& event) {
                    Record record{event.name, {}, {}};
                    if (auto* path = userInfoValue<std::string>(event, "FilePath"))
                        record.path = *path;
                    if (auto* path = userInfoValue<std::string>(event, "FolderPath"))
                        record.path = *path;
                    if (auto it = event.userInfo.find("FileSize"); it != event.userInfo.end()) {
                        record.size = it->second;
                    }
                    std::lock_guard lock(mutex_);
                    records_.push_back(std::move(record));
                }));
        }
    }

    std::vector<Record> records() const {
        std::lock_guard lock(mutex_);
        return records_;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& record : records()) result.push_back(record.name);
        return result;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Record> records_;
    std::vector<Subscription> subscriptions_;
};
