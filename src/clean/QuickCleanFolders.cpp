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
    for (std::size_t i = folders.size(); i-- > 0;) {
        if (categories[i] != CleanCategoryId::UserDownloads) continue;
        folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(i));
        categories.erase(categories.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

std::vector<CleanFailure> QuickCleanFolders::failuresOf(
    const std::vector<std::string>& paths) const {
    std::vector<CleanFailure> failures;
    for (const auto& path : paths) {
        int category = -1;
        for (std::size_t i = 0; i < folders.size() && category < 0; ++i) {
            auto relative = std::filesystem::path(path).lexically_relative(folders[i].path);
            if (!relative.empty() && *relative.begin() != "..") category = categories[i];
        }
        failures.push_back(cleanFailureFor(category, path, 0));
    }
    return failures;
}

}  // namespace quillby
