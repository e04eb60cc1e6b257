// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/work/Asker.h"

namespace quillby {

// Puts the questions of a page's logic to the user as message boxes modal to the page's window
// (a sheet on desktops that draw them so), waiting for the answer in a local event loop. Long
// details show their first lines, with the whole text behind "Show Details...".
class WindowModalAsker final : public Asker {
  public:
    explicit WindowModalAsker(QWidget* page) : page_(page) {}

    bool askYesNo(const std::string& message, const std::string& details) override;
    bool askWithButtons(const std::string& message, const std::string& details,
                        const std::string& accept, const std::string& reject) override;
    std::size_t choose(const std::string& message, const std::string& details,
                       const std::vector<std::string>& buttons, std::size_t safe) override;
    void tell(const std::string& message, const std::string& details) override;

  private:
    QPointer<QWidget> page_;
};

}  // namespace quillby
