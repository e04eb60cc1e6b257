#pragma once

#include <string>
#include <vector>

#include "core/Asker.h"

// Answers a page's questions without a dialog and remembers what it was asked and told.
class ScriptedAsker final : public Asker {
  public:
    bool answer = true;
    std::vector<std::string> questions;
    std::vector<std::string> questionDetails;
    std::vector<std::string> messages;
    std::vector<std::string> messageDetails;

    bool askYesNo(const std::string& message, const std::string& details) override {
        questions.push_back(message);
        questionDetails.push_back(details);
        return answer;
    }
    void tell(const std::string& message, const std::string& details) override {
        messages.push_back(message);
        messageDetails.push_back(details);
    }
};
