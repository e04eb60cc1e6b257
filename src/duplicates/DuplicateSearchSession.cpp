// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateSearchSession.h"

#include <algorithm>
#include <atomic>

#include "core/fs/FolderIdentities.h"
#include "duplicates/DuplicateFilesOpt.h"

namespace quillby {

// One search: its object and result are shared by the job and the session; the job's copy
// keeps them alive until it has ended, whenever the session goes.
struct DuplicateSearchSession::Running {
    std::shared_ptr<DuplicateFilesOpt> search = std::make_shared<DuplicateFilesOpt>();
    Request request;
    Result result;
    std::atomic<bool> stopped{false};
};

DuplicateSearchSession::DuplicateSearchSession(MainQueue& mainQueue) : jobs_(&mainQueue) {}

DuplicateSearchSession::~DuplicateSearchSession() {
    waiting_.reset();
    if (running_) running_->search->stopSearch();
}

void DuplicateSearchSession::start(std::string folder, const DuplicateSearchSettings& settings,
                                   Finished finished) {
    Request request{std::move(folder), settings, std::move(finished)};
    shownProgress_ = 5;
    if (running_) {
        // The old search still reads the disk: the new one waits for its end.
        stop();
        waiting_ = std::move(request);
        return;
    }
    launch(std::move(request));
}

void DuplicateSearchSession::launch(Request request) {
    auto running = std::make_shared<Running>();
    running->request = std::move(request);
    DuplicateSearchOptions options;
    options.includeHidden = running->request.settings.includeHidden;
    options.includeSystem = running->request.settings.includeSystem;
    options.excludes = running->request.settings.excludes;
    running->search->setSearchOption(options);
    running_ = running;
    jobs_.start(
        [running](JobContext&) {
            const Request& asked = running->request;
            running->search->beginSearchAtPath(asked.folder, asked.settings.threshold);
            Result& result = running->result;
            result.folder = asked.folder;
            running->search->getDuplicateFiles(result.tree);
            result.notSearched = running->search->foldersNotSearched();
            // Which members are names of one file: read here, off the main thread.
            result.identities = readMemberIdentities(result.tree);
            FolderIdentities keepIn;
            for (const auto& folder : asked.settings.keepIn) keepIn.add(folder);
            result.keptFirst = membersInFolders(result.tree, keepIn);
            result.stopped = running->stopped.load(std::memory_order_relaxed);
        },
        [this, running] { completed(running); });
}

void DuplicateSearchSession::completed(const std::shared_ptr<Running>& running) {
    if (running != running_) return;
    running_.reset();
    if (waiting_) {
        Request next = std::move(*waiting_);
        waiting_.reset();
        launch(std::move(next));
        return;
    }
    if (running->request.finished) running->request.finished(std::move(running->result));
}

void DuplicateSearchSession::stop() {
    if (!running_) return;
    running_->stopped.store(true, std::memory_order_relaxed);
    running_->search->stopSearch();
}

bool DuplicateSearchSession::isRunning() const {
    return running_ != nullptr;
}

std::uint32_t DuplicateSearchSession::pollProgress() {
    if (running_ && !waiting_) {
        shownProgress_ = std::max(shownProgress_, running_->search->getProgress());
    }
    return shownProgress_;
}

std::string DuplicateSearchSession::currentPath() const {
    return running_ ? running_->search->getCurrentSearchFile() : std::string();
}

}  // namespace quillby
