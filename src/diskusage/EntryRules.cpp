// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/EntryRules.h"

#include <dirent.h>

#include "core/fs/DirectoryReader.h"

namespace quillby {

bool EntryRules::accepts(std::string_view name, bool isFolder, bool atTop) const {
    if (skipTrailingPeriod && !name.empty() && name.back() == '.') return false;
    if (skipVolumesAtTop && atTop && isFolder && name == "Volumes") return false;
    return true;
}

void EntryRules::split(int folderFd, const DirectoryReader& listing, bool atTop,
                       SizeMeasure& measure, Split& out, FileHighlights::Folder* seen) const {
    out.subfolders.clear();
    out.files.clear();
    out.kept.clear();
    out.bytes = 0;
    for (const auto& entry : listing.entries()) {
        if (entry.type != DT_UNKNOWN) {
            bool isFolder = entry.type == DT_DIR;
            if (!accepts(entry.name, isFolder, atTop)) continue;
            (isFolder ? out.subfolders : out.files).push_back(entry.name);
            continue;
        }
        // Some file systems do not report types in listings: ask the entry itself, so that
        // their folders are still descended rather than counted as files.
        auto status = entryStatus(folderFd, entry.name.data());
        if (!status) continue;
        bool isFolder = S_ISDIR(status->st_mode);
        if (!accepts(entry.name, isFolder, atTop)) continue;
        if (isFolder) {
            out.subfolders.push_back(entry.name);
        } else {
            std::uint64_t size = measure.bytesOf(*status);
            out.bytes += size;
            if (seen) seen->offer(entry.name, *status);
            if (keepFilesFrom && size >= *keepFilesFrom) {
                out.kept.push_back(keptFile(entry.name, *status, size));
            }
        }
    }
}

}  // namespace quillby
