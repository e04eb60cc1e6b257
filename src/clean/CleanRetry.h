// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clean/CleanFailure.h"
#include "clean/QuickCleanFolders.h"
#include "core/work/BackgroundJob.h"

namespace quillby {

class Asker;
class MainQueue;
class PrivilegedAuthorization;

// The retry of a clean with administrator rights, one for the system clean page and the quick
// clean: after a clean that left items behind it shows each with its reason, offers the retry
// once per clean when rights may help in a system category (a user category's folders are the
// user's own: what the user cannot delete there stays), asks for the rights on a worker (the
// password dialog waits for the user) and hands back the categories to clean again. Lives on
// the main thread; an answer that arrives after it is gone is dropped.
class CleanRetry {
  public:
    struct Options {
        MainQueue* mainQueue = nullptr;  // where the answer is handed over (required)
        // The rights a retry asks for (null: no retry is offered).
        PrivilegedAuthorization* authorization = nullptr;
    };

    // What the user is shown: the title, each item with its reason by category, and the buttons
    // (the retry first when offered, then "OK").
    struct Question {
        std::string title;
        std::string report;
        std::vector<std::string> buttons;
    };

    // What the owner does while the rights are asked for and once they are answered; each is
    // called on the main thread.
    struct Steps {
        std::function<void()> asking;
        // The rights are held: clean these categories again.
        std::function<void(const std::vector<int>& categories)> granted;
        // The rights were not given; the user is told so right after.
        std::function<void()> refused;
    };

    explicit CleanRetry(Options options);

    // The categories whose failures rights may overcome, in the order of their first failure: a
    // failure for lack of rights in a category with a folder of `run` the helper may clean.
    static std::vector<int> categoriesRightsMayClean(const std::vector<CleanFailure>& failures,
                                                     const QuickCleanFolders& run);

    // The question shown for `failures`, with the retry when `retry` is true.
    static Question question(std::string title, const std::vector<CleanFailure>& failures,
                             bool retry);

    // Shows `failures` under `title` through `asker`. When the retry may help and was not taken
    // since the last reset, offers it; if the user takes it, calls `steps.asking` and asks for
    // the rights on a worker. True when the rights are being asked for; `asker` then tells a
    // refusal too, so it must live as long as this.
    bool offer(Asker& asker, std::string title, const std::vector<CleanFailure>& failures,
               const QuickCleanFolders& run, Steps steps);

    // A new clean: the retry may be offered again.
    void reset() { retried_ = false; }
    // True once the retry was taken in this clean.
    bool retried() const { return retried_; }

  private:
    Options options_;
    bool retried_ = false;
    // Last: its destruction drops an answer still on its way.
    JobOwner jobs_;
};

}  // namespace quillby
