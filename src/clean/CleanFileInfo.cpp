// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanFileInfo.h"

#include "core/text/UtilityFunction.h"

namespace quillby {

CleanFileInfo::CleanFileInfo(std::string icon, std::string name, std::string path, std::string size,
                             std::uint64_t fileSizeNum)
    : icon(std::move(icon)),
      name(std::move(name)),
      path(std::move(path)),
      size(std::move(size)),
      fileSizeNum(fileSizeNum) {}

bool CleanFileInfo::compareBySize(const CleanFileInfo& other) const {
    return UtilityFunction::getVolSpaceFromString(size) >
           UtilityFunction::getVolSpaceFromString(other.size);
}

}  // namespace quillby
