// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

class UserDefaults;

// The folders disk-usage scans never read ("DiskUsageExcludes") as the preferences edit them:
// absolute paths, one a line, each once, without trailing slashes; every change is stored at
// once.
class ExcludedFolderList {
  public:
    explicit ExcludedFolderList(UserDefaults& defaults);

    // The folders as stored (when the list was made), in order.
    const std::vector<std::string>& folders() const { return folders_; }
    // Adds a folder (a relative path or one already listed adds nothing); true when it was
    // added and stored.
    bool add(const std::string& folder);
    // Removes the folder at `index`; true when it was removed and stored.
    bool remove(std::size_t index);

  private:
    bool store();

    UserDefaults& defaults_;
    std::vector<std::string> folders_;
};

}  // namespace quillby
