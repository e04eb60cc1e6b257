// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "sysinfo/MachineFacts.h"

namespace quillby {

// One row of the machine-facts table: icon image name, title and value.
struct ComputerInfoRow {
    std::string icon;
    std::string title;
    std::string value;
};

// The seven rows of the facts table, always in this order: model, CPU vendor, CPU brand, memory
// (formatted in steps of 1024, "16.00 GB"), OS type (with the distribution's name where the row
// has room), OS release, host name.
std::array<ComputerInfoRow, 7> computerInfoRows(const MachineFacts& facts);

}  // namespace quillby
