// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/work/Asker.h"

using namespace quillby;

// Answers a page's questions without a dialog and remembers what it was asked and told.
class ScriptedAsker final : public Asker {
  public:
    bool answer = true;
    std::deque<bool> nextAnswers;  // answered first, in order; then `answer`
    // Buttons chosen by index in questions with a choice, in order; then the first button when
    // `answer` is true, else the safe one.
    std::deque<std::size_t> nextChoices;
    bool tickCheckBox = false;            // how a question's check box is left
    std::vector<std::string> checkBoxes;  // the check boxes offered, in order
    std::vector<std::string> questions;
    std::vector<std::string> questionDetails;
    std::vector<std::vector<std::string>> questionButtons;
    std::vector<std::string> messages;
    std::vector<std::string> messageDetails;

    bool askYesNo(const std::string& message, const std::string& details) override {
        return askWithButtons(message, details, "Yes", "No");
    }
    bool askWithButtons(const std::string& message, const std::string& details,
                        const std::string& accept, const std::string& reject) override {
        questions.push_back(message);
        questionDetails.push_back(details);
        questionButtons.push_back({accept, reject});
        if (nextAnswers.empty()) return answer;
        bool given = nextAnswers.front();
        nextAnswers.pop_front();
        return given;
    }
    std::size_t choose(const std::string& message, const std::string& details,
                       const std::vector<std::string>& buttons, std::size_t safe) override {
        if (nextChoices.empty()) return Asker::choose(message, details, buttons, safe);
        questions.push_back(message);
        questionDetails.push_back(details);
        questionButtons.push_back(buttons);
        std::size_t given = nextChoices.front();
        nextChoices.pop_front();
        return given;
    }
    std::size_t chooseWithCheckBox(const std::string& message, const std::string& details,
                                   const std::vector<std::string>& buttons, std::size_t safe,
                                   const std::string& checkBox, bool& checked) override {
        checkBoxes.push_back(checkBox);
        checked = tickCheckBox;
        return choose(message, details, buttons, safe);
    }
    void tell(const std::string& message, const std::string& details) override {
        messages.push_back(message);
        messageDetails.push_back(details);
    }
};
