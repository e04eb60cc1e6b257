// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "core/work/BackgroundJob.h"
#include "support/ScriptedAsker.h"
#include "ui/model/RemovalConversation.h"

using namespace quillby;
using Disposal = RemovalConversation::Disposal;

namespace {

RemovalConversation::Plan planOf(std::size_t count, Disposal disposal = Disposal::Trash) {
    RemovalConversation::Plan plan;
    plan.disposal = disposal;
    for (std::size_t i = 0; i < count; ++i) {
        plan.items.push_back({"/home/u/item" + std::to_string(i), 1'000'000, i});
    }
    return plan;
}

RemovalOutcome outcome(const std::string& path, RemovalOutcome::Kind kind, int error = 0) {
    RemovalOutcome made = RemovalOutcome::failed(path, error);
    made.kind = kind;
    if (kind == RemovalOutcome::Kind::Refused) made.rule = RefusalRule::MountPoint;
    return made;
}

// A remover that answers from a script per item path and records what it was asked.
struct ScriptedRemover {
    std::map<std::string, RemovalOutcome> script;
    std::vector<std::pair<std::string, Disposal>> asked;

    RemovalConversation::Remover remover() {
        return [this](const RemovalItem& item, Disposal disposal) {
            asked.emplace_back(item.path, disposal);
            auto found = script.find(item.path);
            if (found != script.end()) return found->second;
            return outcome(item.path, disposal == Disposal::Trash ? RemovalOutcome::Kind::Trashed
                                                                  : RemovalOutcome::Kind::Removed);
        };
    }
};

}  // namespace

TEST(RemovalConversation, QuestionSaysWhatGoesWhereAndListsAtMostSevenItems) {
    struct Case {
        std::size_t items;
        Disposal disposal;
        std::string question;
        std::string detailsEnd;
    } cases[] = {
        {1, Disposal::Trash, "Move 1 item (1.00 MB) to the trash?", "/home/u/item0"},
        {3, Disposal::Delete, "Delete 3 items (3.00 MB) for good? This cannot be undone.",
         "/home/u/item2"},
        {9, Disposal::Trash, "Move 9 items (9.00 MB) to the trash?", "/home/u/item6\nand 2 more"},
    };
    for (const auto& c : cases) {
        RemovalConversation conversation(planOf(c.items, c.disposal));
        EXPECT_EQ(conversation.question(), c.question);
        std::string details = conversation.details();
        EXPECT_EQ(details.substr(details.size() - c.detailsEnd.size()), c.detailsEnd) << details;
    }
    auto own = planOf(2);
    own.question = "Remove the files in Downloads?";
    own.details = "They were not opened for a month.";
    RemovalConversation conversation(own);
    EXPECT_EQ(conversation.question(), own.question);
    EXPECT_EQ(conversation.details(), own.details);
}

TEST(RemovalConversation, ConfirmOffersTrashDeleteForGoodAndCancelAsTheSafeDefault) {
    struct Case {
        std::size_t choice;
        bool goes;
        Disposal disposal;
    } cases[] = {
        {0, true, Disposal::Trash}, {1, true, Disposal::Delete}, {2, false, Disposal::Trash}};
    for (const auto& c : cases) {
        ScriptedAsker asker;
        asker.nextChoices = {c.choice};
        RemovalConversation conversation(planOf(2));
        EXPECT_EQ(conversation.confirm(asker), c.goes);
        EXPECT_EQ(conversation.plan().disposal, c.disposal);
        ASSERT_EQ(asker.questionButtons.size(), 1u);
        EXPECT_EQ(asker.questionButtons[0],
                  (std::vector<std::string>{"Move to Trash", "Delete for Good", "Cancel"}));
    }
    // A plan that deletes asks with two buttons; the default asker's "no" is Cancel.
    ScriptedAsker refusing;
    refusing.answer = false;
    RemovalConversation deleting(planOf(1, Disposal::Delete));
    EXPECT_FALSE(deleting.confirm(refusing));
    EXPECT_EQ(refusing.questionButtons[0], (std::vector<std::string>{"Delete for Good", "Cancel"}));
}

TEST(RemovalConversation, APlanThatReplacesOffersItsOwnChoicesAndNoRetryWithRights) {
    RemovalConversation::Plan plan = planOf(3, Disposal::Delete);
    plan.choices = {"Hard Links", "Reflinks"};
    plan.deletedVerb = "Replaced";
    plan.notDoneWord = "replaced";
    plan.offersRights = false;
    for (std::size_t choice : {0u, 1u, 2u}) {
        ScriptedAsker asker;
        asker.nextChoices = {choice};
        RemovalConversation conversation(plan);
        EXPECT_EQ(conversation.confirm(asker), choice < 2);
        EXPECT_EQ(conversation.chosen(), choice);
        EXPECT_EQ(asker.questionButtons.at(0),
                  (std::vector<std::string>{"Hard Links", "Reflinks", "Cancel"}));
    }
    ScriptedRemover remover;
    remover.script["/home/u/item1"] =
        outcome("/home/u/item1", RemovalOutcome::Kind::Failed, EACCES);
    RemovalConversation conversation(plan);
    JobContext job;
    conversation.run(remover.remover(), job);
    ScriptedAsker asker;
    EXPECT_FALSE(conversation.mayRetryWithRights());
    EXPECT_FALSE(conversation.askToRetryWithRights(asker));
    EXPECT_TRUE(asker.questions.empty());
    EXPECT_EQ(conversation.closingLine(),
              "Replaced 2 items (2.00 MB). 1 item could not be replaced.");
}

TEST(RemovalConversation, StopHalfwayTriesNothingMoreAndReportsWhatWent) {
    std::stop_source stop;
    JobContext job(stop.get_token());
    ScriptedRemover removing;
    auto remove = removing.remover();
    RemovalConversation conversation(planOf(5));
    conversation.run(
        [&](const RemovalItem& item, Disposal disposal) {
            if (item.tag == 1) stop.request_stop();
            return remove(item, disposal);
        },
        job);
    EXPECT_EQ(removing.asked.size(), 2u);
    EXPECT_EQ(conversation.outcomes().size(), 2u);
    EXPECT_EQ(conversation.untried(), 3u);
    EXPECT_EQ(conversation.goneBytes(), 2'000'000u);
    EXPECT_EQ(conversation.closingLine(),
              "Moved 2 items (2.00 MB) to the trash. Stopped before 3 items.");
}

TEST(RemovalConversation, MixedOutcomesReportReasonsAndRetryOnlyWhatRightsCanHelp) {
    ScriptedRemover removing;
    auto plan = planOf(5, Disposal::Delete);
    removing.script = {
        {"/home/u/item1", outcome("/home/u/item1", RemovalOutcome::Kind::Refused)},
        {"/home/u/item2", outcome("/home/u/item2", RemovalOutcome::Kind::Failed, EACCES)},
        {"/home/u/item3", outcome("/home/u/item3", RemovalOutcome::Kind::Failed, EBUSY)},
        {"/home/u/item4", outcome("/home/u/item4", RemovalOutcome::Kind::Vanished)},
    };
    JobContext job;
    RemovalConversation conversation(plan);
    conversation.run(removing.remover(), job);
    EXPECT_EQ(conversation.closingLine(),
              "Deleted 2 items (2.00 MB). 3 items could not be removed.");
    EXPECT_EQ(
        conversation.failureLines(),
        (std::vector<std::string>{"/home/u/item1: a mount point",
                                  "/home/u/item2: permission denied", "/home/u/item3: in use"}));
    ASSERT_TRUE(conversation.mayRetryWithRights());

    ScriptedAsker asker;
    EXPECT_TRUE(conversation.askToRetryWithRights(asker));
    EXPECT_EQ(asker.questions[0], "1 item can only be removed with administrator rights.");
    EXPECT_EQ(asker.questionDetails[0], "/home/u/item2");
    // Meant for the trash, the retry says that rights delete for good.
    RemovalConversation trashing(planOf(1));
    trashing.run([](const RemovalItem& item,
                    Disposal) { return outcome(item.path, RemovalOutcome::Kind::Failed, EPERM); },
                 job);
    ScriptedAsker told;
    EXPECT_TRUE(trashing.askToRetryWithRights(told));
    EXPECT_EQ(told.questionDetails[0],
              "/home/u/item0\n\nWith administrator rights they are deleted for good.");
    EXPECT_EQ(asker.questionButtons[0][0], "Retry with Administrator Rights");

    std::vector<std::string> retried;
    conversation.retryWithRights(
        [&](const RemovalItem& item) {
            retried.push_back(item.path);
            return outcome(item.path, RemovalOutcome::Kind::Removed);
        },
        job);
    EXPECT_EQ(retried, (std::vector<std::string>{"/home/u/item2"}));
    EXPECT_FALSE(conversation.mayRetryWithRights());
    EXPECT_EQ(conversation.closingLine(),
              "Deleted 3 items (3.00 MB). 2 items could not be removed.");
    conversation.reportFailures(asker);
    ASSERT_EQ(asker.messages.size(), 1u);
    EXPECT_EQ(asker.messageDetails[0], "/home/u/item1: a mount point\n/home/u/item3: in use");
}

TEST(RemovalConversation, ItemsNoTrashCanTakeAreDeletedOnlyWhenTheUserSaysSo) {
    for (bool accept : {true, false}) {
        ScriptedRemover removing;
        removing.script = {
            {"/home/u/item1", outcome("/home/u/item1", RemovalOutcome::Kind::Failed, EXDEV)}};
        JobContext job;
        RemovalConversation conversation(planOf(3));
        conversation.run(removing.remover(), job);
        ScriptedAsker asker;
        asker.answer = accept;
        ASSERT_EQ(conversation.askToDeleteUntrashable(asker), accept);
        EXPECT_EQ(asker.questions[0],
                  "No trash on their disk can take 1 item (1.00 MB). Delete them for good? "
                  "This cannot be undone.");
        removing.script.clear();
        if (accept) conversation.deleteUntrashable(removing.remover(), job);
        EXPECT_EQ(removing.asked.size(), accept ? 4u : 3u);
        EXPECT_EQ(removing.asked.back(),
                  std::make_pair(std::string("/home/u/item") + (accept ? "1" : "2"),
                                 accept ? Disposal::Delete : Disposal::Trash));
        EXPECT_EQ(conversation.closingLine(),
                  accept ? "Moved 2 items (2.00 MB) to the trash. Deleted 1 item (1.00 MB)."
                         : "Moved 2 items (2.00 MB) to the trash. 1 item could not be removed.");
    }
}
