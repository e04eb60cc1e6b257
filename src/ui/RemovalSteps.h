// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/work/BackgroundJob.h"
#include "ui/model/RemovalConversation.h"

namespace quillby {

class Asker;
class WorkRunner;

// Carries a confirmed removal conversation through its steps on a page's worker: the run; the
// deletion for good of what no trash could take, when the user says so; the retry with
// administrator rights of what rights may help, when the user says so (neither after a stop);
// then the report of what is still there. The page's model follows the outcomes after every step.
// Every page removes through it, so all of them ask and tell in the same words.
struct RemovalSteps {
    // Makes, on the worker, the remover of one retry with administrator rights, so that each
    // retry asks for the rights again.
    using RightsRemoval = std::function<RemovalConversation::PrivilegedRemover()>;

    WorkRunner* work = nullptr;
    std::shared_ptr<Asker> asker;
    RemovalConversation::Remover remover;
    RightsRemoval rights;

    // Sets both removers from ones that need only an item's path.
    using PathRemover =
        std::function<RemovalOutcome(const std::string& path, DeletionGate::Disposal disposal)>;
    using PathRightsRemoval = std::function<std::function<RemovalOutcome(const std::string&)>()>;
    void removeByPath(PathRemover byPath, PathRightsRemoval rightsByPath);
    // After each step, on the GUI thread: the tried items (by index) whose outcome became gone
    // in it.
    std::function<void(const RemovalConversation&, const std::vector<std::size_t>& nowGone)>
        applied;
    // After the last step, before the report.
    std::function<void(const RemovalConversation&)> finished;
    JobOwner::ProgressHandler progress;

    // Runs `conversation`, which the user has confirmed. Nothing is asked or applied once the
    // worker's page has gone.
    void start(std::shared_ptr<RemovalConversation> conversation) const;
};

}  // namespace quillby
