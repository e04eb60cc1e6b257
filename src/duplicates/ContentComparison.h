// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

class FileContentReader;

enum class Comparison { Same, Differ, Unreadable };

// Compares two open files byte for byte from where their readers stand; `detail` says why they
// are not the same (the first byte that differs, or the read error).
Comparison compareOpenFiles(FileContentReader& a, FileContentReader& b, std::string& detail);

}  // namespace quillby
