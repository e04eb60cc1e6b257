// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "duplicates/TreeNode.h"

namespace quillby {

// The results' search field: a group shows when its name or the path of one of its members
// holds the typed text, case aside (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// letters fold to lower case; other characters match as they are). Empty text shows every group.
class DuplicateGroupFilter {
  public:
    DuplicateGroupFilter() = default;
    explicit DuplicateGroupFilter(std::string_view text);

    bool empty() const { return folded_.empty(); }
    const std::string& text() const { return text_; }
    bool matches(const TreeNode& group) const;

    // `text` in UTF-8 with its letters folded as above; malformed bytes are kept as they are.
    static std::string foldedCase(std::string_view text);

  private:
    std::string text_;
    std::string folded_;
};

}  // namespace quillby
