// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/VolumesManager.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "core/events/Log.h"
#include "core/work/DeadlineCall.h"
#include "monitor/VolumesInfo.h"
#include "platform/Services.h"

namespace quillby {

VolumesManager::VolumesManager(std::shared_ptr<VolumeSource> source,
                               std::shared_ptr<VolumeEjector> ejector,
                               std::shared_ptr<FileViewer> viewer)
    : source_(source ? std::move(source) : Services::get<VolumeSource>()),
      ejector_(ejector ? std::move(ejector) : Services::get<VolumeEjector>()),
      viewer_(viewer ? std::move(viewer) : Services::get<FileViewer>()) {}

bool VolumesManager::ejectSingleVolume(std::int32_t refNumber, std::string* failure) {
    // Look the number up afresh: a volume unmounted meanwhile must not be confused with another.
    VolumesInfo volumes(source_);
    auto facts = volumes.factsOf(refNumber);
    EjectResult result = !facts      ? EjectResult::failed(ENOENT, "it is no longer mounted")
                         : !ejector_ ? EjectResult::failed(ENOSYS, "ejecting is not available")
                                     : ejector_->ejectVolume(*facts);
    if (result.succeeded()) return true;
    QWLog("Eject the volume %d failed result: %d", refNumber, result.error);
    if (failure) {
        std::string volume = facts ? facts->name + " (" + facts->rootPath + ")"
                                   : "the volume " + std::to_string(refNumber);
        *failure = "Could not eject " + volume + ": " + result.reason + ".";
    }
    return false;
}

std::int32_t VolumesManager::ejectAllVolumes(std::vector<std::string>* failures) {
    VolumesInfo volumes(source_);
    std::vector<std::int32_t> ejectable;
    ejectable.reserve(10);
    for (const auto& volume : volumes.volsArray()) {
        if (volume.bCanEject) ejectable.push_back(volume.volRefNumber);
    }
    if (ejectable.empty()) return -1;
    bool anyFailed = false;
    for (std::int32_t refNumber : ejectable) {
        std::string failure;
        if (!ejectSingleVolume(refNumber, &failure)) {
            anyFailed = true;
            if (failures) failures->push_back(failure);
        }
    }
    return anyFailed ? 1 : 0;
}

bool VolumesManager::openVolRootDir(const std::string& path) {
    if (path.empty() || !viewer_) return false;
    std::string standard = path;
    if (standard.starts_with("~"))
        standard = Services::context().home.string() + standard.substr(1);
    standard = std::filesystem::path(standard).lexically_normal().string();
    if (standard.size() > 1 && standard.back() == '/') standard.pop_back();
    return viewer_->openFolder(standard);
}

void VolumesManager::ejectSingleVolumeInBackground(
    std::int32_t refNumber, MainQueue& queue,
    std::function<void(bool ejected, const std::string& failure)> done) {
    // The worker owns a copy of the manager's services: it may outlive the manager.
    VolumesManager copy(source_, ejector_, viewer_);
    auto failure = std::make_shared<std::string>();
    callWithDeadline(
        queue, ejectDeadline_,
        [copy, refNumber, failure]() mutable {
            return copy.ejectSingleVolume(refNumber, failure.get());
        },
        [refNumber, failure, done = std::move(done)](std::optional<bool> ejected) {
            if (!ejected) QWLog("Eject the volume %d did not finish in time", refNumber);
            if (!done) return;
            if (ejected) {
                done(*ejected, *failure);
            } else {
                done(false, "The eject of the volume " + std::to_string(refNumber) +
                                " did not finish in time; it may still end.");
            }
        });
}

void VolumesManager::ejectAllVolumesInBackground(MainQueue& queue,
                                                 std::function<void(std::int32_t)> done) {
    VolumesManager copy(source_, ejector_, viewer_);
    auto result = std::make_shared<std::atomic<std::int32_t>>(1);
    callWithDeadline(
        queue, ejectDeadline_,
        [copy, result]() mutable {
            result->store(copy.ejectAllVolumes());
            return true;
        },
        [result, done = std::move(done)](std::optional<bool> finished) {
            if (!finished) QWLog("Eject All did not finish in time");
            if (done) done(finished ? result->load() : 1);
        });
}

void VolumesManager::openVolRootDirInBackground(const std::string& path, MainQueue& queue,
                                                std::function<void(bool)> done) {
    VolumesManager copy(source_, ejector_, viewer_);
    callWithDeadline(
        queue, openDeadline_, [copy, path]() mutable { return copy.openVolRootDir(path); },
        [path, done = std::move(done)](std::optional<bool> opened) {
            if (!opened) QWLog("The file manager did not open %s in time", path.c_str());
            if (done) done(opened.value_or(false));
        });
}

}  // namespace quillby
