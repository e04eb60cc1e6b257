// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanEntryRemover.h"

#include <unistd.h>
#include <cerrno>

#include "clean/SystemCleanFolders.h"
#include "core/fs/EntryStatus.h"
#include "core/work/PrivilegedAuthorization.h"

namespace quillby {

CleanEntryRemover::CleanEntryRemover(const CleanFolder& folder,
                                     PrivilegedAuthorization* authorization)
    : folder_(folder),
      authorization_(folder.privilegedCategory >= 0 ? authorization : nullptr),
      gate_([&folder] {
          DeletionGate::Options options;
          options.caller = ::geteuid();
          options.protectAccountHomes = false;  // entries lie inside a category's folder
          options.judge = folder.rule.get();
          // A system category's fixed folder may lie inside the system's own folders (the core
          // dumps in /var/lib): its contents are the category's to clean, the folder stays.
          if (folder.privilegedCategory >= 0) {
              options.releasedSystemFolders = {folder.path.relative_path().string()};
          }
          return options;
      }()) {}

RemovalReport CleanEntryRemover::remove(const CleanableEntry& entry) const {
    RemovalReport report =
        gate_.removeJudged(*entry.parent, entry.parentPath, entry.name, entry.verdict, entry.depth);
    if (report.failed() && authorization_) report = removeWithPrivileges(entry, report);
    if (report.removed && entry.depth == 1) folder_.rule->afterEntryRemoved(folder_, entry.name);
    return report;
}

RemovalReport CleanEntryRemover::removeWithPrivileges(const CleanableEntry& entry,
                                                      const RemovalReport& plain) const {
    RemovalReport report;
    report.removedEntries = plain.removedEntries;
    report.keptSome = plain.keptSome;
    // The helper judges the entry and everything inside it by the category's own rule.
    std::string_view verb = SystemCleanFolders::helperVerb(folder_.privilegedCategory);
    if (verb.empty() || !authorization_->cleanCategoryItem(verb, entry.path())) {
        report.addFailure(entry.path(), EPERM);
        return report;
    }
    auto status = entryStatusAt(entry.parent->fd(), entry.name.c_str());
    if (!status && errno == ENOENT) {
        report.removed = true;
        ++report.removedEntries;
    } else {
        report.keptSome = true;  // the rule kept something inside it
    }
    return report;
}

}  // namespace quillby
