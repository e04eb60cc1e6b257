// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/work/BackgroundJob.h"
#include "duplicates/CopyToKeep.h"
#include "duplicates/DuplicateSearchSettings.h"
#include "duplicates/MemberIdentity.h"
#include "duplicates/TreeNode.h"
#include "duplicates/getFileList.h"

namespace quillby {

class DuplicateFilesOpt;
class MainQueue;

// The duplicate page's searches, without widgets: one DuplicateFilesOpt per search, run as a job
// that holds it until the job ends. A search started while another still runs stops the old one
// and begins once the old one's completion has arrived, so no stale result is shown and two
// searches never read the disk at once. Everything but the job runs on the main thread.
class DuplicateSearchSession {
  public:
    // What a search found, handed to the main thread at its end.
    struct Result {
        std::string folder;
        TreeNode::Ptr tree;  // null when nothing was found
        MemberIdentities identities;
        KeptFirst keptFirst;  // the members in the settings' keepIn folders
        std::vector<FolderNotListed> notSearched;
        bool stopped = false;
    };
    using Finished = std::function<void(Result)>;

    explicit DuplicateSearchSession(MainQueue& mainQueue);
    // Stops a running search; its result is dropped.
    ~DuplicateSearchSession();
    DuplicateSearchSession(const DuplicateSearchSession&) = delete;
    DuplicateSearchSession& operator=(const DuplicateSearchSession&) = delete;

    // Searches `folder` with the settings' threshold and options; `finished` gets the result on
    // the main thread unless a newer search took its place.
    void start(std::string folder, const DuplicateSearchSettings& settings, Finished finished);
    // Asks the running search to end; its result (what was found so far) still arrives.
    void stop();
    // True from start() until the last search's completion.
    bool isRunning() const;
    // The progress to show: 5 at the start, then the search's own, never going back.
    std::uint32_t pollProgress();
    // The path being examined (empty when no search runs).
    std::string currentPath() const;

  private:
    struct Request {
        std::string folder;
        DuplicateSearchSettings settings;
        Finished finished;
    };
    struct Running;
    void launch(Request request);
    void completed(const std::shared_ptr<Running>& running);

    std::shared_ptr<Running> running_;
    std::optional<Request> waiting_;
    std::uint32_t shownProgress_ = 5;
    // Last: a result arriving after this session has gone is dropped.
    JobOwner jobs_;
};

}  // namespace quillby
