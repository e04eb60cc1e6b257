// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "duplicates/CandidateFile.h"

namespace quillby {

// One application bundle of the duplicate search: its path and every non-folder item inside.
struct AppAttrbItem {
    std::string DirectoryPathName;  // absolute path
    std::string DirectoryName;      // last path component
    std::vector<CandidateFile> AllFileInDirectory;
    std::uint64_t DirectorySize = 0;  // sum of the items' sizes
};

}  // namespace quillby
