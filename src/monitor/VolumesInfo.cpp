// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/VolumesInfo.h"

#include "core/events/Log.h"
#include "core/text/UtilityFunction.h"
#include "core/work/ThreadWorker.h"
#include "platform/Services.h"

namespace quillby {

// The refresh requests; on the owning thread only. The worker's completion holds it weakly, so
// that a list arriving after its owner went is dropped.
struct VolumesInfo::Refresh {
    VolumesInfo* owner = nullptr;
    bool running = false;
    std::uint64_t lists = 0;                     // lists taken so far, however made
    std::vector<std::function<void()>> served;   // answered by the running enumeration
    std::vector<std::function<void()>> waiting;  // asked after it started: need the next one
};

VolumesInfo::VolumesInfo(std::shared_ptr<VolumeSource> source, FirstList first)
    : source_(source ? std::move(source) : Services::get<VolumeSource>()),
      refresh_(std::make_shared<Refresh>()) {
    refresh_->owner = this;
    if (!source_) QWLog("No volume source is installed; no volume will be listed");
    if (first == FirstList::Now) enumVolumesInfo();
}

VolumesInfo::~VolumesInfo() = default;

const std::vector<MountedVolume>& VolumesInfo::getAllVolsInfo() {
    enumVolumesInfo();
    return volsArray_;
}

void VolumesInfo::enumVolumesInfo() {
    setFacts(source_ ? listedVolumes(source_) : std::vector<VolumeFacts>{});
}

void VolumesInfo::setFacts(std::vector<VolumeFacts> facts) {
    ++refresh_->lists;
    volsArray_.clear();
    for (const auto& volume : facts) volsArray_.push_back(makeRecord(volume));
    facts_ = std::move(facts);
}

void VolumesInfo::refreshInBackground(MainQueue& queue, std::function<void()> done) {
    if (refresh_->running) {
        refresh_->waiting.push_back(std::move(done));
        return;
    }
    refresh_->served.push_back(std::move(done));
    startRefresh(queue);
}

bool VolumesInfo::refreshing() const {
    return refresh_->running;
}

void VolumesInfo::startRefresh(MainQueue& queue) {
    refresh_->running = true;
    std::uint64_t before = refresh_->lists;
    auto listed = std::make_shared<std::vector<VolumeFacts>>();
    ThreadWorker::workOn(
        "VolumesInfo", "listedVolumes",
        ThreadWorker::Method([source = source_, listed](const std::any&) {
            if (source) *listed = listedVolumes(source);
        }),
        {},
        [weak = std::weak_ptr<Refresh>(refresh_), listed, before, &queue](const std::any&) {
            auto refresh = weak.lock();
            if (!refresh) return;
            refresh->running = false;
            // A list handed over meanwhile (the mount watcher's, after a notice) is as fresh.
            if (refresh->lists == before) refresh->owner->setFacts(std::move(*listed));
            auto served = std::move(refresh->served);
            refresh->served = std::move(refresh->waiting);
            refresh->waiting.clear();
            if (!refresh->served.empty()) refresh->owner->startRefresh(queue);
            // Last: a caller may let the list go from here.
            for (auto& done : served) {
                if (done) done();
            }
        },
        &queue);
}

const MountedVolume* VolumesInfo::getBootVolume() const {
    for (const auto& volume : volsArray_) {
        if (volume.bIsDefaultVol) return &volume;
    }
    return nullptr;
}

std::optional<VolumeFacts> VolumesInfo::factsOf(std::int32_t refNumber) const {
    for (const auto& facts : facts_) {
        if (facts.referenceNumber == refNumber) return facts;
    }
    return std::nullopt;
}

std::int32_t VolumesInfo::getVolumeType(const VolumeFacts& facts) {
    return volumeKindOf(facts);
}

bool VolumesInfo::getVolEjectFlag(const VolumeFacts& facts) {
    return facts.network || facts.externalBus || facts.ejectable;
}

const char* VolumesInfo::iconNameForKind(std::int32_t kind) {
    switch (kind) {
        case kExternalStorage:
            return "drive-removable-media";
        case kOpticalDisc:
            return "media-optical";
        case kNetworkStorage:
            return "folder-remote";
        case kDiskImage:
            return "media-flash";
        default:
            return "drive-harddisk";
    }
}

MountedVolume VolumesInfo::makeRecord(const VolumeFacts& facts) {
    MountedVolume volume;
    volume.volRefNumber = facts.referenceNumber;
    volume.nTotalSize = facts.totalBytes;
    volume.nFreeSize = facts.freeBytes;
    volume.totalSpace = UtilityFunction::convertVolSpace(facts.totalBytes);
    volume.freeSpace = UtilityFunction::convertVolSpace(facts.freeBytes);
    volume.volumeName = facts.name;
    volume.volRootDir = facts.rootPath;
    volume.bIsDefaultVol = facts.rootPath == "/";
    volume.deviceName = facts.deviceName;
    volume.bCanEject = getVolEjectFlag(facts);
    volume.volType = getVolumeType(facts);
    if (volume.volType == kOpticalDisc) volume.bCanEject = true;
    volume.volIcon = iconNameForKind(volume.volType);
    return volume;
}

}  // namespace quillby
