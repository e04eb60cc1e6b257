// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/QuickCleanFolders.h"

#include <algorithm>

#include "clean/CleanCategory.h"

namespace quillby {

QuickCleanFolders QuickCleanFolders::of(
    const std::vector<int>& ids, const std::function<std::vector<CleanFolder>(int)>& foldersOf) {
    QuickCleanFolders run;
    for (int id : ids) {
        for (auto& folder : foldersOf(id)) {
            run.folders.push_back(std::move(folder));
            run.categories.push_back(id);
        }
    }
    return run;
}

bool QuickCleanFolders::hasDownloads() const {
    return std::find(categories.begin(), categories.end(), CleanCategoryId::UserDownloads) !=
           categories.end();
}

void QuickCleanFolders::dropDownloads() {
    std::vector<int> others;
    for (int id : categories) {
        if (id != CleanCategoryId::UserDownloads) others.push_back(id);
    }
    keepOnly(others);
}

void QuickCleanFolders::keepOnly(const std::vector<int>& ids) {
    for (std::size_t i = folders.size(); i-- > 0;) {
        if (std::find(ids.begin(), ids.end(), categories[i]) != ids.end()) continue;
        folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(i));
        categories.erase(categories.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

std::vector<CleanFailure> QuickCleanFolders::failuresOf(std::vector<CleanFailure> failures) const {
    for (auto& failure : failures) {
        for (std::size_t i = 0; i < folders.size() && failure.category < 0; ++i) {
            auto relative = std::filesystem::path(failure.path).lexically_relative(folders[i].path);
            if (!relative.empty() && *relative.begin() != "..") failure.category = categories[i];
        }
    }
    return failures;
}

}  // namespace quillby
