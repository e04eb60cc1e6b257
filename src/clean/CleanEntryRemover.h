#pragma once

#include "clean/CleanFolder.h"
#include "clean/CleanableEntries.h"
#include "core/TreeRemover.h"

class PrivilegedAuthorization;

// Deletes cleanable entries of one category folder as far as its rule allows: without
// privileges first; then, for what could not be deleted and only when an authorization is
// given, through the privileged helper. A folder whose contents the rule judges one by one is
// emptied entry by entry even then, so the helper never deletes anything the rule did not see.
class CleanEntryRemover {
  public:
    // `authorization` may be null: no privileged removal.
    CleanEntryRemover(const CleanFolder& folder, PrivilegedAuthorization* authorization);

    // Deletes the entry; the report says whether it went, what was kept on purpose and what
    // failed. An entry directly in the folder that went is followed by the rule's
    // afterEntryRemoved.
    RemovalReport remove(const CleanableEntry& entry) const;

  private:
    bool removeWithPrivileges(const FolderHandle& parent, const std::string& parentPath,
                              const std::string& name, EntryVerdict verdict, int depth,
                              RemovalReport& report) const;
    bool removeOneByOne(const FolderHandle& folder, const std::string& path, EntryVerdict verdict,
                        int depth, RemovalReport& report) const;

    const CleanFolder& folder_;
    PrivilegedAuthorization* authorization_;
    TreeRemover plain_;
};
