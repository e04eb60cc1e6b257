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
    void tell(const std::string& message, const std::string& details) override {
        messages.push_back(message);
        messageDetails.push_back(details);
    }
};
