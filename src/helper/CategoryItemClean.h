// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// Cleans one item of a system clean category as root. The item must lie below one of the
// category's fixed folders under `varRoot` (the machine's /var), reached without a link; every
// folder on the way and the item itself are judged by the category's rule, and inside the item
// only what that rule lets go is deleted. Gives the helper's answer: "ok" or "error " and why.
std::string cleanCategoryItem(int category, const std::string& path, const std::string& varRoot);

}  // namespace quillby
