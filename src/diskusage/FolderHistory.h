// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillby {

// The folders visited in one results view, for Back and Forward as a file manager has them:
// visiting a folder after going back forgets the folders ahead. Back from the first folder
// visited leaves the results (to the places); Forward goes only where Back came from.
class FolderHistory {
  public:
    // Where Back leads: a folder, or out of the results.
    struct Step {
        bool leaves = false;
        std::string folder;
    };

    // The folder now shown; visiting the folder already shown changes nothing.
    void visit(const std::string& folder);
    // Goes back one folder; from the first folder (or with none), the step leaves.
    Step back();
    // The folder Forward goes to (and goes there), or nothing.
    std::optional<std::string> forward();
    // Forgets a folder that is gone (and every folder inside it), wherever it is in the history.
    void forget(const std::string& folder);
    void clear();

    bool canGoForward() const { return current_ + 1 < folders_.size(); }
    // False before the first visit; Back then has nowhere to lead but out.
    bool hasCurrent() const { return !folders_.empty(); }
    const std::string& current() const;
    const std::vector<std::string>& folders() const { return folders_; }

  private:
    std::vector<std::string> folders_;
    std::size_t current_ = 0;
};

}  // namespace quillby
