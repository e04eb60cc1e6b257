// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanRetry.h"

#include <algorithm>

#include "core/fs/RemovalOutcome.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/Asker.h"
#include "core/work/PrivilegedAuthorization.h"

namespace quillby {

CleanRetry::CleanRetry(Options options) : options_(options), jobs_(options.mainQueue) {}

std::vector<int> CleanRetry::categoriesRightsMayClean(const std::vector<CleanFailure>& failures,
                                                      const QuickCleanFolders& run) {
    std::vector<int> categories;
    for (const auto& failure : failures) {
        if (!failure.permission ||
            std::find(categories.begin(), categories.end(), failure.category) != categories.end()) {
            continue;
        }
        for (std::size_t i = 0; i < run.folders.size(); ++i) {
            if (run.categories[i] == failure.category && run.folders[i].privilegedCategory >= 0) {
                categories.push_back(failure.category);
                break;
            }
        }
    }
    return categories;
}

CleanRetry::Question CleanRetry::question(std::string title,
                                          const std::vector<CleanFailure>& failures, bool retry) {
    Question asked{std::move(title), cleanFailureReport(failures), {}};
    if (retry) asked.buttons.push_back(retryWithRightsButton);
    asked.buttons.push_back("OK");
    return asked;
}

bool CleanRetry::offer(Asker& asker, std::string title, const std::vector<CleanFailure>& failures,
                       const QuickCleanFolders& run, Steps steps) {
    std::vector<int> categories;
    if (options_.authorization && !retried_) categories = categoriesRightsMayClean(failures, run);
    Question asked = question(std::move(title), failures, !categories.empty());
    if (categories.empty()) {
        asker.tell(asked.title, asked.report);
        return false;
    }
    if (!asker.askWithButtons(asked.title, asked.report, asked.buttons[0], asked.buttons[1])) {
        return false;
    }
    retried_ = true;
    if (steps.asking) steps.asking();
    // Getting the rights waits for the administrator's password: never on the main thread.
    jobs_.start<bool>(
        [rights = options_.authorization](JobContext&) { return rights->allocAuthorization(); },
        [&asker, categories, report = asked.report, steps = std::move(steps)](bool granted) {
            if (!granted) {
                if (steps.refused) steps.refused();
                asker.tell(kRightsNotGivenItemsStay, report);
                return;
            }
            AdministratorRightsFlag::set(true);
            if (steps.granted) steps.granted(categories);
        });
    return true;
}

}  // namespace quillby
