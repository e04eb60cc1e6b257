// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanQuestion.h"

#include <algorithm>

#include "clean/CleanCategory.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunction.h"
#include "core/work/Asker.h"

namespace quillby {

namespace {

bool holdsDownloads(const std::vector<CleanQuestion::Category>& categories) {
    return std::any_of(categories.begin(), categories.end(), [](const auto& category) {
        return category.id == CleanCategoryId::UserDownloads;
    });
}

}  // namespace

std::string CleanQuestion::sentence(const std::vector<Category>& categories,
                                    std::uint64_t totalBytes) {
    std::string what = categories.size() == 1
                           ? std::string(cleanCategories()[categories[0].id].title)
                           : std::to_string(categories.size()) + " categories";
    return "Clean " + what + " (" + UtilityFunction::convertVolSpace(totalBytes) +
           ")? What they hold is deleted for good.";
}

std::string CleanQuestion::details(const std::vector<Category>& categories) {
    std::string text;
    for (const auto& category : categories) {
        if (!text.empty()) text += '\n';
        text += cleanCategories()[category.id].title;
        if (category.bytes) text += ": " + UtilityFunction::convertVolSpace(*category.bytes);
    }
    if (holdsDownloads(categories)) {
        text += std::string("\n\n") + kDownloadsConfirmMessage + " " + kDownloadsConfirmExplanation;
    }
    return text;
}

CleanQuestion::Answer CleanQuestion::ask(Asker& asker, const std::vector<Category>& categories,
                                         std::uint64_t totalBytes) {
    bool downloads = holdsDownloads(categories);
    bool downloadsAlone = downloads && categories.size() == 1;
    auto& defaults = UserDefaults::standardUserDefaults();
    if (!defaults.boolForKey(SettingsKey::ConfirmClean)) {
        if (!downloads) return Answer::Clean;
        // Turned off, the clean still never empties Downloads unasked.
        if (asker.askWithButtons(kDownloadsConfirmMessage, kDownloadsConfirmExplanation,
                                 downloadsAlone ? "OK" : "Yes", downloadsAlone ? "Cancel" : "No")) {
            return Answer::Clean;
        }
        return downloadsAlone ? Answer::Cancel : Answer::CleanWithoutDownloads;
    }
    std::vector<std::string> buttons{"Clean"};
    if (downloads && !downloadsAlone) buttons.push_back("Clean Without Downloads");
    buttons.push_back("Cancel");
    bool dontAskAgain = false;
    std::size_t chosen =
        asker.chooseWithCheckBox(sentence(categories, totalBytes), details(categories), buttons,
                                 buttons.size() - 1, "Don't ask again", dontAskAgain);
    if (chosen + 1 >= buttons.size()) return Answer::Cancel;
    if (dontAskAgain) defaults.setBool(false, SettingsKey::ConfirmClean);
    return chosen == 0 ? Answer::Clean : Answer::CleanWithoutDownloads;
}

}  // namespace quillby
