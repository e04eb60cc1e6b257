#pragma once

#include <string>

// Questions and alerts a page's logic puts to the user. The desktop program shows them as
// window-modal message boxes; tests answer them without any dialog.
class Asker {
  public:
    virtual ~Asker() = default;
    // Asks `message` (with `details` below it) with the buttons "Yes" and "No"; true for "Yes".
    virtual bool askYesNo(const std::string& message, const std::string& details) = 0;
    // Tells the user `message` (with `details`) with an "OK" button.
    virtual void tell(const std::string& message, const std::string& details) = 0;
};
