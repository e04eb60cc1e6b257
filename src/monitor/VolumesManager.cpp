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

bool VolumesManager::ejectSingleVolume(std::int32_t refNumber) {
    // Look the number up afresh: a volume unmounted meanwhile must not be confused with another.
    VolumesInfo volumes(source_);
    auto facts = volumes.factsOf(refNumber);
    int result = !facts ? ENOENT : !ejector_ ? ENOSYS : ejector_->ejectVolume(*facts);
    if (result != 0) {
        QWLog("Eject the volume %d failed result: %d", refNumber, result);
        return false;
    }
    return true;
}

std::int32_t VolumesManager::ejectAllVolumes() {
    VolumesInfo volumes(source_);
    std::vector<std::int32_t> ejectable;
    ejectable.reserve(10);
    for (const auto& volume : volumes.volsArray()) {
        if (volume.bCanEject) ejectable.push_back(volume.volRefNumber);
    }
    if (ejectable.empty()) return -1;
    bool anyFailed = false;
    for (std::int32_t refNumber : ejectable) {
        if (!ejectSingleVolume(refNumber)) anyFailed = true;
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

void VolumesManager::ejectSingleVolumeInBackground(std::int32_t refNumber, MainQueue& queue,
                                                   std::function<void(bool)> done) {
    // The worker owns a copy of the manager's services: it may outlive the manager.
    VolumesManager copy(source_, ejector_, viewer_);
    callWithDeadline(
        queue, ejectDeadline_,
        [copy, refNumber]() mutable { return copy.ejectSingleVolume(refNumber); },
        [refNumber, done = std::move(done)](std::optional<bool> ejected) {
            if (!ejected) QWLog("Eject the volume %d did not finish in time", refNumber);
            if (done) done(ejected.value_or(false));
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
