#include "clean/VolumeListInternalVolumes.h"

#include "monitor/VolumesInfo.h"

VolumeListInternalVolumes::VolumeListInternalVolumes(std::shared_ptr<VolumeSource> source)
    : source_(std::move(source)) {}

std::vector<std::filesystem::path> VolumeListInternalVolumes::internalVolumeRoots() const {
    std::vector<std::filesystem::path> roots;
    VolumesInfo volumes(source_);
    for (const auto& volume : volumes.volsArray()) {
        if (volume.volType == kLocalStorage) roots.emplace_back(volume.volRootDir);
    }
    return roots;
}
