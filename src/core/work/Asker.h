// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillby {

// Questions and alerts a page's logic puts to the user. The desktop program shows them as
// window-modal message boxes; tests answer them without any dialog.
class Asker {
  public:
    virtual ~Asker() = default;
    // Asks `message` (with `details` below it) with the buttons "Yes" and "No"; true for "Yes".
    virtual bool askYesNo(const std::string& message, const std::string& details) = 0;
    // Asks `message` (with `details`) with two buttons named `accept` and `reject` ("OK" and
    // "Cancel", "Retry with administrator rights" and "OK"); true for `accept`. Without buttons
    // of its own an asker puts it as a yes-or-no question.
    virtual bool askWithButtons(const std::string& message, const std::string& details,
                                const std::string& accept, const std::string& reject) {
        (void)accept;
        (void)reject;
        return askYesNo(message, details);
    }
    // Asks `message` (with `details`) with `buttons`; the one at `safe` is the default and the
    // answer to Escape. Returns the chosen button's index. Without buttons of its own an asker
    // puts the first button against the safe one.
    virtual std::size_t choose(const std::string& message, const std::string& details,
                               const std::vector<std::string>& buttons, std::size_t safe) {
        return askWithButtons(message, details, buttons.front(), buttons.at(safe)) ? 0 : safe;
    }
    // The same with a check box named `checkBox` below the question, unticked at first;
    // `checked` says how it was left. Without a check box of its own an asker leaves it unticked.
    virtual std::size_t chooseWithCheckBox(const std::string& message, const std::string& details,
                                           const std::vector<std::string>& buttons,
                                           std::size_t safe, const std::string& checkBox,
                                           bool& checked) {
        (void)checkBox;
        checked = false;
        return choose(message, details, buttons, safe);
    }
    // Tells the user `message` (with `details`) with an "OK" button.
    virtual void tell(const std::string& message, const std::string& details) = 0;
};

}  // namespace quillby
