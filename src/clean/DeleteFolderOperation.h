// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "clean/CleanFolder.h"
#include "core/work/OperationQueue.h"

namespace quillby {

class PrivilegedAuthorization;
struct CleanableEntry;
struct RemovalReport;

// The quick clean: empties whole category folders (as far as their rules allow), keeping the
// folders themselves. Reports by events, on the operation's thread and with no sender:
// "BeginFastClean" once; "DeleteFileSuccess" {"FilePath", "FileSize" (the entry's own size),
// "EntryCount" (entries deleted)} once per cleanable entry that is gone, "DeleteFileFailed"
// {"FilePath", "FileSize", "FailureError" (an errno)} per entry that could not be deleted
// (nothing for one kept on purpose); one "DeleteFileFailed" naming a folder the user may not
// change when no administrator authorization is held or the folder is a user category's, which
// never goes through the helper (its "FailedPaths" lists what an earlier attempt could not
// delete, "FailedErrors" why);
// "FastCleanFinish" at the end; "FastCleanCanceled" whenever it notices a cancellation.
class DeleteFolderOperation : public Operation {
  public:
    struct Options {
        // The rights used for what the user may not delete (nullptr: the shared instance).
        PrivilegedAuthorization* authorization = nullptr;
        // Whether the user may empty a folder without privileges (default: it may change it).
        std::function<bool(const std::filesystem::path&)> isDeletableFolder;
    };

    DeleteFolderOperation(std::vector<CleanFolder> folderPathArr, Options options);
    explicit DeleteFolderOperation(std::vector<CleanFolder> folderPathArr)
        : DeleteFolderOperation(std::move(folderPathArr), Options{}) {}

    void main() override;

  private:
    bool emptyDeletableFolder(const CleanFolder& folder, std::vector<std::string>& failedPaths,
                              std::vector<int>& failedErrors);
    void emptyProtectedFolder(const CleanFolder& folder,
                              const std::vector<std::string>& failedPaths,
                              const std::vector<int>& failedErrors);
    void postResult(const CleanableEntry& entry, const RemovalReport& report);

    std::vector<CleanFolder> folderPathArr_;
    Options options_;
};

}  // namespace quillby
