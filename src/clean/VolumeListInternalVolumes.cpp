// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/VolumeListInternalVolumes.h"

#include "core/fs/VolumeList.h"

namespace quillby {

VolumeListInternalVolumes::VolumeListInternalVolumes(std::shared_ptr<VolumeSource> source)
    : source_(std::move(source)) {}

std::vector<std::filesystem::path> VolumeListInternalVolumes::internalVolumeRoots() const {
    std::vector<std::filesystem::path> roots;
    for (const auto& volume : listedVolumes(source_)) {
        if (volumeKindOf(volume) == kLocalStorage) roots.emplace_back(volume.rootPath);
    }
    return roots;
}

}  // namespace quillby
