// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace quillby {

// The categories a clean of whole folders empties (the quick clean, `quillby clean run`): those
// whose setting is 1, all items checked, in id order. A category with only some items checked
// (2) is not enabled: emptying its folder would take the items the user left unchecked.
std::vector<int> enabledCleanCategories();

}  // namespace quillby
