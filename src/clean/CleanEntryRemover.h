// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clean/CleanFolder.h"
#include "clean/CleanableEntries.h"
#include "core/fs/DeletionGate.h"

namespace quillby {

class PrivilegedAuthorization;

// Deletes cleanable entries of one category folder as far as its rule allows: without
// privileges first; then, for what could not be deleted and only in a system category with an
// authorization given, through the privileged helper, which judges the entry and everything
// inside it by the same category's rule. A user category's entries never go through the helper.
class CleanEntryRemover {
  public:
    // `authorization` may be null: no privileged removal.
    CleanEntryRemover(const CleanFolder& folder, PrivilegedAuthorization* authorization);

    // Deletes the entry; the report says whether it went, what was kept on purpose and what
    // failed. An entry directly in the folder that went is followed by the rule's
    // afterEntryRemoved.
    RemovalReport remove(const CleanableEntry& entry) const;

  private:
    RemovalReport removeWithPrivileges(const CleanableEntry& entry,
                                       const RemovalReport& plain) const;

    const CleanFolder& folder_;
    PrivilegedAuthorization* authorization_;
    DeletionGate gate_;
};

}  // namespace quillby
