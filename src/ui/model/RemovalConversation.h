// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/fs/DeletionGate.h"
#include "core/fs/RemovalOutcome.h"

namespace quillby {

class Asker;
class JobContext;

// One item a removal plans to take.
struct RemovalItem {
    std::string path;        // as the user knows it
    std::uint64_t size = 0;  // the bytes it gives back
    std::size_t tag = 0;     // the page's own index of it, handed back to its remover
};

// The one way every page and the command line remove what the user chose: plan, confirm, run
// (on a worker, stoppable), outcomes, retry with administrator rights for what rights can help,
// report. It holds no widget: the page binds it to its dialogs and its job, and updates its own
// model from the outcomes, never from the request.
class RemovalConversation {
  public:
    using Disposal = DeletionGate::Disposal;
    // Removes one item as the user, on the worker: the page's remover knows its gate and its
    // checks.
    using Remover = std::function<RemovalOutcome(const RemovalItem& item, Disposal disposal)>;
    // Removes one item with administrator rights, on the worker.
    using PrivilegedRemover = std::function<RemovalOutcome(const RemovalItem& item)>;

    struct Plan {
        std::vector<RemovalItem> items;
        // Items picked by hand go to the trash; cleans of caches and logs delete.
        Disposal disposal = Disposal::Trash;
        // The question offers "Delete for Good" beside "Move to Trash".
        bool mayDeleteForGood = true;
        // A page's own question and details replace the sentence and the list (the Downloads
        // question, the uninstaller's plan, the last copy of a duplicate).
        std::string question;
        std::string details;
        // A page's own word for going ahead ("Remove"), where it deletes an entry the user
        // knows by another name than a file.
        std::string goAhead;
        // What the page calls its items and what it calls deleting them, for the closing line
        // ("Removed 2 applications (1.20 GB).").
        std::string noun = "item";
        std::string deletedVerb = "Deleted";
        // A page's own ways of going ahead, each a button before "Cancel", in place of the
        // trash's ("Hard Links", "Reflinks"); chosen() says which one the user took.
        std::vector<std::string> choices;
        // Whether what fails for want of rights is offered a retry with administrator rights
        // (not where the items are replaced rather than removed).
        bool offersRights = true;
        // The closing line's word for what was not done ("1 item could not be replaced.").
        std::string notDoneWord = "removed";
    };

    explicit RemovalConversation(Plan plan);

    // Asks whether to go ahead; the safe answer (Cancel) is the default. False: nothing may be
    // removed. Choosing "Delete for Good" changes the plan's disposal.
    bool confirm(Asker& asker);
    // The question's sentence ("Move 3 items (12.40 MB) to the trash?") and its details (at most
    // seven items, then "and N more").
    std::string question() const;
    std::string details() const;

    // Removes the items in order on the worker until the job is asked to stop; what was not
    // tried before the stop stays, and is reported as not tried.
    void run(const Remover& remover, JobContext& job);

    // After run: the items a trash could not take (no trash on their disk), asked once whether
    // to delete them for good; true when the user said so.
    bool askToDeleteUntrashable(Asker& asker) const;
    // Deletes the items no trash could take, for good (after askToDeleteUntrashable).
    void deleteUntrashable(const Remover& remover, JobContext& job);

    // Whether some failure may be overcome with administrator rights; refusals never are.
    bool mayRetryWithRights() const;
    // Asks, in the one wording every page uses, whether to retry those with rights (saying that
    // they are then deleted for good, where they were meant for the trash).
    bool askToRetryWithRights(Asker& asker) const;
    // Retries, with rights, the failures rights may help (after askToRetryWithRights).
    void retryWithRights(const PrivilegedRemover& remover, JobContext& job);

    const Plan& plan() const { return plan_; }
    // After confirm: the index of the plan's choice the user took.
    std::size_t chosen() const { return chosen_; }
    // One outcome per item tried, in the plan's order.
    const std::vector<RemovalOutcome>& outcomes() const { return outcomes_; }
    // The plan's items that were tried (outcomes()[i] is the outcome of triedItem(i)).
    const RemovalItem& triedItem(std::size_t index) const { return plan_.items[index]; }
    std::size_t untried() const { return plan_.items.size() - outcomes_.size(); }
    std::size_t goneCount() const;
    std::uint64_t goneBytes() const;
    std::size_t failedCount() const;

    // The closing line: what went where, what could not go, what was not tried ("Moved 3 items
    // (12.40 MB) to the trash. 1 item could not be removed.").
    std::string closingLine() const;
    // "PATH: REASON" for every item that is still there.
    std::vector<std::string> failureLines() const;
    // Tells the closing line with the failures below it, when some item is still there.
    void reportFailures(Asker& asker) const;

    // "N items (SIZE)" with the singular for one.
    static std::string countAndSize(std::size_t count, std::uint64_t bytes,
                                    const std::string& noun = "item");

  private:
    template <class Attempt>
    void redo(bool (*select)(const RemovalOutcome&, Disposal), const Attempt& attempt,
              JobContext& job);

    Plan plan_;
    std::size_t chosen_ = 0;
    std::vector<RemovalOutcome> outcomes_;
    std::vector<Disposal> triedWith_;  // the disposal each outcome was reached with
};

}  // namespace quillby
