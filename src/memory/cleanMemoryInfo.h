// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "memory/MemoryFigures.h"

namespace quillby {

// The memory figures as size texts in power-of-two units ("512.00 MB").
struct cleanMemoryInfo {
    std::string freeMem;
    std::string usedMem;
    std::string totalMem;
    std::string wiredMem;
    std::string activeMem;
    std::string inactiveMem;

    // Formats free, inactive, active, wired, used and total of a sample.
    static cleanMemoryInfo fromMemoryInfo(const MemoryFigures& info);
};

}  // namespace quillby
