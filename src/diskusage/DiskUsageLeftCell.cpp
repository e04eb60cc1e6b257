// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageLeftCell.h"

#include "core/fs/VolumeList.h"
#include "core/text/PlainText.h"
#include "core/text/UtilityFunction.h"

namespace quillby {

std::string DiskUsageLeftCell::shownPath() const {
    return cutText(pathName, selectedType == 1 ? 15 : 12);
}

std::vector<DiskUsageLeftCell> DiskUsageLeftCell::pathList(
    const std::string& userName, const std::string& homeFolder,
    const std::vector<VolumeFacts>& volumes) {
    std::vector<DiskUsageLeftCell> rows;
    DiskUsageLeftCell home;
    home.pathName = homeFolder;
    home.name = userName;
    home.icon = "home_disk.png";
    rows.push_back(home);
    for (const auto& volume : volumes) {
        if (volumeKindOf(volume) != kLocalStorage) continue;
        DiskUsageLeftCell row;
        row.pathName = volume.rootPath;
        row.name = volume.name;
        row.icon = "disk_ico.png";
        row.totalSize = UtilityFunction::convertVolSpace(volume.totalBytes);
        row.freeSize = UtilityFunction::convertVolSpace(volume.freeBytes);
        rows.push_back(row);
    }
    DiskUsageLeftCell chosen;
    chosen.name = "Chosen folder";
    chosen.icon = "Folder_yes.png";
    chosen.hidden = true;
    rows.push_back(chosen);
    return rows;
}

}  // namespace quillby
