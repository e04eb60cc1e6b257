// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RemovalSteps.h"

#include <QPointer>

#include "core/work/AdministratorRightsFlag.h"
#include "core/work/Asker.h"
#include "core/work/PrivilegedAuthorization.h"
#include "ui/WorkRunner.h"

namespace quillby {

namespace {

// One conversation on its way through the steps.
struct Run {
    RemovalSteps steps;
    std::shared_ptr<RemovalConversation> conversation;
    QPointer<WorkRunner> work;
    std::vector<bool> applied;  // per tried item: its going was applied to the model
};

using Next = void (*)(const std::shared_ptr<Run>&);
using Work = std::function<void(RemovalConversation&, JobContext&)>;

void applyNewlyGone(Run& run) {
    const auto& outcomes = run.conversation->outcomes();
    run.applied.resize(outcomes.size(), false);
    std::vector<std::size_t> nowGone;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].gone() && !run.applied[i]) {
            run.applied[i] = true;
            nowGone.push_back(i);
        }
    }
    if (!nowGone.empty() && run.steps.applied) run.steps.applied(*run.conversation, nowGone);
}

void step(const std::shared_ptr<Run>& run, Work work, Next next) {
    // The page went while the user was being asked: nothing is left to run on.
    if (!run->work) return;
    run->work->start<bool>(
        [conversation = run->conversation, work = std::move(work)](JobContext& job) {
            work(*conversation, job);
            return true;
        },
        [run, next](bool) {
            applyNewlyGone(*run);
            next(run);
        },
        run->steps.progress);
}

void finish(const std::shared_ptr<Run>& run) {
    if (!run->work) return;
    if (run->steps.finished) run->steps.finished(*run->conversation);
    run->conversation->reportFailures(*run->steps.asker);
}

// After a stop nothing more is asked: the user wants the removal to end.
bool stopped(const Run& run) {
    return run.conversation->untried() > 0;
}

void offerRights(const std::shared_ptr<Run>& run) {
    if (!run->work || stopped(*run) ||
        !run->conversation->askToRetryWithRights(*run->steps.asker)) {
        finish(run);
        return;
    }
    step(
        run,
        [rights = run->steps.rights](RemovalConversation& conversation, JobContext& job) {
            conversation.retryWithRights(rights(), job);
        },
        [](const std::shared_ptr<Run>& done) {
            if (PrivilegedAuthorization::sharedAuthorization().isValidAuth()) {
                AdministratorRightsFlag::set(true);
            }
            finish(done);
        });
}

void offerDeletion(const std::shared_ptr<Run>& run) {
    if (!run->work || stopped(*run) ||
        !run->conversation->askToDeleteUntrashable(*run->steps.asker)) {
        offerRights(run);
        return;
    }
    step(
        run,
        [remover = run->steps.remover](RemovalConversation& conversation, JobContext& job) {
            conversation.deleteUntrashable(remover, job);
        },
        offerRights);
}

}  // namespace

void RemovalSteps::removeByPath(PathRemover byPath, PathRightsRemoval rightsByPath) {
    remover = [byPath = std::move(byPath)](const RemovalItem& item,
                                           DeletionGate::Disposal disposal) {
        return byPath(item.path, disposal);
    };
    rights = [rightsByPath = std::move(rightsByPath)]() -> RemovalConversation::PrivilegedRemover {
        return [remove = rightsByPath()](const RemovalItem& item) { return remove(item.path); };
    };
}

void RemovalSteps::start(std::shared_ptr<RemovalConversation> conversation) const {
    auto run = std::make_shared<Run>(Run{*this, std::move(conversation), work, {}});
    step(
        run,
        [remover = remover](RemovalConversation& running, JobContext& job) {
            running.run(remover, job);
        },
        offerDeletion);
}

}  // namespace quillby
