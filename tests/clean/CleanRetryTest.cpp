// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>

#include "CleanFixture.h"
#include "clean/CleanRetry.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PlainMainQueue.h"
#include "support/ScriptedAsker.h"
#include "support/ScriptedHelper.h"

using namespace quillby;

namespace {

// The password dialog dismissed: no helper starts.
struct DismissedLauncher : PrivilegedHelperLauncher {
    std::unique_ptr<PrivilegedHelperSession> launch(int&) override { return nullptr; }
};

}  // namespace

// The report of each item with its reason by category; the retry offered only where rights may
// help, once per clean; and what each answer hands back to clean again.
TEST(CleanRetry, OffersRightsOnlyWhereTheyMayHelpAndHandsBackWhatToCleanAgain) {
    enum Rights { None, Given, Dismissed };
    using Texts = std::vector<std::string>;
    const std::string title = "Some items could not be deleted.";
    auto denied = [](int id, const char* path) { return cleanFailureFor(id, path, EACCES); };
    const std::string caches = "System Caches:\n  /s/c (permission denied)\n";
    const std::string user = "User Caches:\n  /c/b (permission denied)\n";
    const std::string all =
        caches + user + "System Logs:\n  /l/a (permission denied)\n  /l/d (permission denied)\n";
    const std::string logs = "System Logs:\n  /l/busy (in use)\n  /l/gone (not found)\n  /l/odd\n";
    const std::vector<CleanFailure> mixed{denied(2, "/l/a"), denied(1, "/c/b"), denied(0, "/s/c"),
                                          denied(2, "/l/d")};
    const std::vector<CleanFailure> unhelped{cleanFailureFor(2, "/l/busy", EBUSY),
                                             cleanFailureFor(2, "/l/gone", ENOENT),
                                             cleanFailureFor(2, "/l/odd", 0)};
    struct {
        std::vector<CleanFailure> failures;
        Rights rights;
        bool takesRetry;
        std::string report;
        bool offered;
        std::vector<int> cleanedAgain;  // the system categories by their first failure, once each
    } const cases[] = {
        {mixed, Given, true, all, true, {2, 0}},
        {{denied(0, "/s/c")}, Dismissed, true, caches, true, {}},
        {{denied(0, "/s/c")}, Given, false, caches, true, {}},
        {{denied(1, "/c/b")}, Given, true, user, false, {}},  // the user's own caches
        {unhelped, Given, true, logs, false, {}},
        {{denied(0, "/s/c")}, None, true, caches, false, {}},
    };
    // A folder of each of the first three categories; the system ones go through the helper.
    QuickCleanFolders run;
    for (int id : {0, 1, 2}) {
        run.folders.push_back(everything("/" + std::to_string(id)));
        run.folders.back().privilegedCategory = id == 1 ? -1 : id;
        run.categories.push_back(id);
    }
    for (const auto& test : cases) {
        SCOPED_TRACE(test.report);
        AdministratorRightsFlag::set(false);
        PlainMainQueue queue;
        ScriptedAsker asker;
        asker.answer = test.takesRetry;
        ScriptedSession helper("ok");
        PrivilegedAuthorization given(std::make_shared<ScriptedLauncher>(&helper));
        PrivilegedAuthorization dismissed(std::make_shared<DismissedLauncher>());
        PrivilegedAuthorization* rights[] = {nullptr, &given, &dismissed};
        CleanRetry retryer({.mainQueue = &queue, .authorization = rights[test.rights]});
        bool answered = false;
        std::vector<int> again;
        bool asking = retryer.offer(asker, title, test.failures, run,
                                    {.granted =
                                         [&](const std::vector<int>& ids) {
                                             again = ids;
                                             answered = true;
                                         },
                                     .refused = [&] { answered = true; }});
        EXPECT_EQ(asking, test.offered && test.takesRetry);
        ASSERT_TRUE(!asking || queue.runUntil([&] { return answered; }));
        EXPECT_EQ(asker.questions, test.offered ? Texts{title} : Texts{});
        EXPECT_EQ(test.offered ? asker.questionDetails : asker.messageDetails, Texts{test.report});
        if (test.offered) {
            EXPECT_EQ(asker.questionButtons[0], (Texts{"Retry with Administrator Rights", "OK"}));
        }
        Texts told = test.offered ? Texts{} : Texts{title};
        if (asking && test.rights == Dismissed) told.push_back(kRightsNotGivenItemsStay);
        EXPECT_EQ(asker.messages, told);
        EXPECT_EQ(again, test.cleanedAgain);
        EXPECT_EQ(AdministratorRightsFlag::isSet(), !again.empty());
        // Once taken, the retry is not offered again in the same clean.
        asker.questions.clear();
        retryer.offer(asker, title, test.failures, run, {});
        EXPECT_EQ(asker.questions.size(), test.offered && !asking ? 1u : 0u);
    }
    AdministratorRightsFlag::set(false);
}
