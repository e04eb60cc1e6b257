// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/EnabledCleanCategories.h"

#include "clean/CleanCategory.h"
#include "core/settings/PreferenceViewController.h"

namespace quillby {

std::vector<int> enabledCleanCategories() {
    std::vector<int> ids;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        if (PreferenceViewController::categoryClicked(id) == 1) ids.push_back(id);
    }
    return ids;
}

}  // namespace quillby
