// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clean/CleanRules.h"

namespace quillby {

// A trash's `files` folder: every entry may go. Each trashed item has a description
// `info/NAME.trashinfo` beside `files`, removed with it; emptying the trash also empties
// `expunged/` and drops the `directorysizes` cache, so that no file manager lists ghosts.
class TrashRule : public CleanRule {
  public:
    // CleanAll for every entry.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "every trashed item"; }
    // Removes info/NAME.trashinfo of the trash holding `folder`.
    void afterEntryRemoved(const CleanFolder& folder, const std::string& name) const override;
    // Removes the descriptions whose item is gone, empties expunged/ and drops directorysizes.
    void afterFolderEmptied(const CleanFolder& folder) const override;
};

}  // namespace quillby
