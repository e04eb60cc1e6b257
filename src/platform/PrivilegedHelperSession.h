// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillby {

// A running privileged helper: takes one request at a time (a verb and its argument) and gives
// the helper's one-line answer. Destroying the session ends the helper.
class PrivilegedHelperSession {
  public:
    virtual ~PrivilegedHelperSession() = default;

    // Sends one request and waits for its answer line (without the line end). Nothing when the
    // helper has gone. Requests from several threads are served one after the other.
    virtual std::optional<std::string> request(std::string_view verb,
                                               std::string_view argument) = 0;
    // True while the helper process is running.
    virtual bool isAlive() = 0;
    // Ends the helper and gives its exit status (0 for a clean end, -1 when unknown).
    virtual int finish() = 0;
};

}  // namespace quillby
