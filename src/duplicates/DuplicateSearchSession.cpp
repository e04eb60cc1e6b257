// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateSearchSession.h"

#include <algorithm>
#include <atomic>

#include "core/fs/FolderIdentities.h"
#include "core/work/ThreadWorker.h"
#include "duplicates/DuplicateFilesOpt.h"

namespace quillby {

// One search: its object and result are shared by the worker and the session; the worker's
// copy keeps them alive until the completion has run.
struct DuplicateSearchSession::Running {
    std::shared_ptr<DuplicateFilesOpt> search = std::make_shared<DuplicateFilesOpt>();
    Request request;
    Result result;
    std::atomic<bool> stopped{false};
    std::shared_ptr<ThreadWorker> worker;
};

DuplicateSearchSession::DuplicateSearchSession(MainQueue& mainQueue) : mainQueue_(mainQueue) {}

DuplicateSearchSession::~DuplicateSearchSession() {
    waiting_.reset();
    if (running_) {
        running_->search->stopSearch();
        if (running_->worker) running_->worker->waitUntilFinished();
        running_->worker.reset();
    }
}

void DuplicateSearchSession::start(std::string folder, const DuplicateSearchSettings& settings,
                                   Finished finished) {
    Request request{std::move(folder), settings, std::move(finished)};
    shownProgress_ = 5;
    if (running_) {
        // The old search's worker still holds its object: the new search waits for its end.
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
    std::weak_ptr<bool> alive = alive_;
    running->worker = ThreadWorker::workOn(
        "DuplicateFilesOpt", "beginSearchAtPath", ThreadWorker::Method([running](const std::any&) {
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
        }),
        {},
        [this, alive, running](const std::any&) {
            if (alive.lock()) completed(running);
        },
        &mainQueue_);
}

void DuplicateSearchSession::completed(const std::shared_ptr<Running>& running) {
    running->worker.reset();  // the worker held the search until now
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
