// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillby {

class Asker;

// The one question a clean asks before it deletes, on the page and in the quick clean alike:
// each category that goes for good (with its size where known) and the total; with Downloads
// among them, the Downloads words too and a way to clean without it. "Don't ask again" turns
// the question off ("ConfirmClean"); Downloads is still never emptied unasked.
class CleanQuestion {
  public:
    enum class Answer { Clean, CleanWithoutDownloads, Cancel };

    struct Category {
        int id = 0;
        std::optional<std::uint64_t> bytes;  // unknown in the quick clean until it has deleted
    };

    // Asks about `categories`, whose total is `totalBytes`.
    static Answer ask(Asker& asker, const std::vector<Category>& categories,
                      std::uint64_t totalBytes);

    // The question's sentence and details (for the page tests and the command line).
    static std::string sentence(const std::vector<Category>& categories, std::uint64_t totalBytes);
    static std::string details(const std::vector<Category>& categories);
};

}  // namespace quillby
