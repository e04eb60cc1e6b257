// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// The helper's "vacuum-journal" request: trims the system journal to a size with
// "journalctl --vacuum-size", which removes archived journal files only, oldest first, and never
// an active one.
namespace JournalVacuum {

// journalctl from the system's own program folders (never the caller's PATH); "" when missing.
std::string systemTool();

// Handles a request whose argument is the size to keep in bytes (decimal digits, at least the
// journal limit's minimum). Runs `journalctl` (an absolute path; "" means missing) and answers
// "ok" when it succeeded, else "error " and the reason.
std::string vacuum(const std::string& argument, const std::string& journalctl);

}  // namespace JournalVacuum

}  // namespace quillby
