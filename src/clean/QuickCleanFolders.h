// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clean/CleanFailure.h"
#include "clean/CleanFolder.h"

namespace quillby {

// The folders a quick clean empties, in category order, each with the category it belongs to.
struct QuickCleanFolders {
    std::vector<CleanFolder> folders;
    std::vector<int> categories;  // the category of each folder

    // The folders of the categories `ids`, in that order.
    static QuickCleanFolders of(const std::vector<int>& ids,
                                const std::function<std::vector<CleanFolder>(int)>& foldersOf);

    bool empty() const { return folders.empty(); }
    bool hasDownloads() const;
    // Leaves the Downloads folder out (the user said it stays as it is).
    void dropDownloads();
    // Keeps only the folders of the categories `ids`.
    void keepOnly(const std::vector<int>& ids);
    // The failures given, each with the category of the folder it lies in.
    std::vector<CleanFailure> failuresOf(std::vector<CleanFailure> failures) const;
};

}  // namespace quillby
