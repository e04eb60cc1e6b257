// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "clean/CleanFolder.h"
#include "core/work/OperationQueue.h"

namespace quillby {

// The quick-clean scan: measures what the folders hold that their rules let go and reports it
// by events, on the operation's thread and with no sender: "ScanSingleFolder" {"FolderPath"}
// before each folder, "ScanOperationFinish" {"FolderSize", "FileCount"} at the end, and
// "FastCleanCanceled" whenever it notices that it was cancelled (a cancellation before the
// last folder ends it without a finish event).
class BrowseFolderOperation : public Operation {
  public:
    explicit BrowseFolderOperation(std::vector<CleanFolder> rootPaths);

    void main() override;

  private:
    std::vector<CleanFolder> rootPaths_;
};

}  // namespace quillby
