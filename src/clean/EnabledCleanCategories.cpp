#include "clean/EnabledCleanCategories.h"

#include "clean/CleanCategory.h"
#include "core/settings/PreferenceViewController.h"

std::vector<int> enabledCleanCategories() {
    std::vector<int> ids;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        if (PreferenceViewController::categoryClicked(id) == 1) ids.push_back(id);
    }
    return ids;
}
