// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/model/RemovalConversation.h"

#include <cerrno>

#include "core/text/UtilityFunction.h"
#include "core/work/Asker.h"
#include "core/work/BackgroundJob.h"

namespace quillby {

namespace {

// More names than this make a question nobody reads; the rest is counted.
constexpr std::size_t kListedItems = 7;

constexpr const char* kMoveToTrash = "Move to Trash";
constexpr const char* kDeleteForGood = "Delete for Good";
constexpr const char* kCancel = "Cancel";

// The paths a question names: the first kListedItems, then how many more.
class ShortList {
  public:
    void add(const std::string& path) {
        if (count_++ < kListedItems) text_ += (text_.empty() ? "" : "\n") + path;
    }
    std::size_t count() const { return count_; }
    std::string text() const {
        if (count_ <= kListedItems) return text_;
        return text_ + "\nand " + std::to_string(count_ - kListedItems) + " more";
    }

  private:
    std::size_t count_ = 0;
    std::string text_;
};

bool wentUntrashable(const RemovalOutcome& outcome, RemovalConversation::Disposal disposal) {
    return disposal == RemovalConversation::Disposal::Trash &&
           outcome.kind == RemovalOutcome::Kind::Failed && outcome.error == EXDEV;
}

bool rightsMayHelp(const RemovalOutcome& outcome, RemovalConversation::Disposal) {
    return outcome.rightsMayHelp();
}

}  // namespace

RemovalConversation::RemovalConversation(Plan plan) : plan_(std::move(plan)) {}

std::string RemovalConversation::countAndSize(std::size_t count, std::uint64_t bytes,
                                              const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? " (" : "s (") +
           UtilityFunction::convertVolSpace(bytes) + ")";
}

std::string RemovalConversation::question() const {
    if (!plan_.question.empty()) return plan_.question;
    std::uint64_t total = 0;
    for (const auto& item : plan_.items) total += item.size;
    std::string what = countAndSize(plan_.items.size(), total);
    if (plan_.disposal == Disposal::Trash) return "Move " + what + " to the trash?";
    return "Delete " + what + " for good? This cannot be undone.";
}

std::string RemovalConversation::details() const {
    if (!plan_.question.empty()) return plan_.details;
    ShortList listed;
    for (const auto& item : plan_.items) listed.add(item.path);
    return listed.text();
}

bool RemovalConversation::confirm(Asker& asker) {
    if (!plan_.choices.empty()) {
        std::vector<std::string> buttons = plan_.choices;
        buttons.push_back(kCancel);
        chosen_ = asker.choose(question(), details(), buttons, plan_.choices.size());
        return chosen_ < plan_.choices.size();
    }
    if (plan_.disposal == Disposal::Delete || !plan_.mayDeleteForGood) {
        std::string go = !plan_.goAhead.empty()              ? plan_.goAhead
                         : plan_.disposal == Disposal::Trash ? kMoveToTrash
                                                             : kDeleteForGood;
        return asker.choose(question(), details(), {go, kCancel}, 1) == 0;
    }
    switch (asker.choose(question(), details(), {kMoveToTrash, kDeleteForGood, kCancel}, 2)) {
        case 0:
            return true;
        case 1:
            plan_.disposal = Disposal::Delete;
            return true;
        default:
            return false;
    }
}

void RemovalConversation::run(const Remover& remover, JobContext& job) {
    outcomes_.clear();
    triedWith_.clear();
    JobProgress progress;
    progress.total = plan_.items.size();
    for (const auto& item : plan_.items) {
        if (job.stopRequested()) break;
        progress.currentPath = item.path;
        job.report(progress);
        outcomes_.push_back(remover(item, plan_.disposal));
        triedWith_.push_back(plan_.disposal);
        ++progress.done;
        if (outcomes_.back().gone()) progress.bytes += item.size;
    }
    progress.currentPath.clear();
    job.report(progress);
}

template <class Attempt>
void RemovalConversation::redo(bool (*select)(const RemovalOutcome&, Disposal),
                               const Attempt& attempt, JobContext& job) {
    JobProgress progress;
    for (std::size_t i = 0; i < outcomes_.size(); ++i) {
        if (select(outcomes_[i], triedWith_[i])) ++progress.total;
    }
    for (std::size_t i = 0; i < outcomes_.size(); ++i) {
        if (!select(outcomes_[i], triedWith_[i])) continue;
        if (job.stopRequested()) break;
        progress.currentPath = plan_.items[i].path;
        job.report(progress);
        attempt(i);
        ++progress.done;
    }
    progress.currentPath.clear();
    job.report(progress);
}

bool RemovalConversation::askToDeleteUntrashable(Asker& asker) const {
    std::uint64_t bytes = 0;
    ShortList listed;
    for (std::size_t i = 0; i < outcomes_.size(); ++i) {
        if (!wentUntrashable(outcomes_[i], triedWith_[i])) continue;
        bytes += plan_.items[i].size;
        listed.add(plan_.items[i].path);
    }
    if (listed.count() == 0) return false;
    std::string question = "No trash on their disk can take " +
                           countAndSize(listed.count(), bytes) +
                           ". Delete them for good? This cannot be undone.";
    return asker.choose(question, listed.text(), {kDeleteForGood, kCancel}, 1) == 0;
}

void RemovalConversation::deleteUntrashable(const Remover& remover, JobContext& job) {
    redo(
        &wentUntrashable,
        [&](std::size_t i) {
            outcomes_[i] = remover(plan_.items[i], Disposal::Delete);
            triedWith_[i] = Disposal::Delete;
        },
        job);
}

bool RemovalConversation::mayRetryWithRights() const {
    if (!plan_.offersRights) return false;
    for (const auto& outcome : outcomes_) {
        if (outcome.rightsMayHelp()) return true;
    }
    return false;
}

bool RemovalConversation::askToRetryWithRights(Asker& asker) const {
    if (!mayRetryWithRights()) return false;
    ShortList listed;
    bool meantForTrash = false;
    for (std::size_t i = 0; i < outcomes_.size(); ++i) {
        if (!outcomes_[i].rightsMayHelp()) continue;
        meantForTrash = meantForTrash || triedWith_[i] == Disposal::Trash;
        listed.add(outcomes_[i].path);
    }
    if (listed.count() == 0) return false;
    std::string details = listed.text();
    // The privileged helper has no trash of the user's: say so before the user agrees.
    if (meantForTrash) details += "\n\nWith administrator rights they are deleted for good.";
    return asker.choose(retryWithRightsQuestion(listed.count()), details,
                        {retryWithRightsButton, kCancel}, 1) == 0;
}

void RemovalConversation::retryWithRights(const PrivilegedRemover& remover, JobContext& job) {
    redo(
        &rightsMayHelp, [&](std::size_t i) { outcomes_[i] = remover(plan_.items[i]); }, job);
}

std::size_t RemovalConversation::goneCount() const {
    std::size_t count = 0;
    for (const auto& outcome : outcomes_) count += outcome.gone() ? 1 : 0;
    return count;
}

std::uint64_t RemovalConversation::goneBytes() const {
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < outcomes_.size(); ++i) {
        if (outcomes_[i].gone()) bytes += plan_.items[i].size;
    }
    return bytes;
}

std::size_t RemovalConversation::failedCount() const {
    return outcomes_.size() - goneCount();
}

std::string RemovalConversation::closingLine() const {
    std::size_t trashed = 0;
    std::size_t deleted = 0;
    std::uint64_t trashedBytes = 0;
    std::uint64_t deletedBytes = 0;
    for (std::size_t i = 0; i < outcomes_.size(); ++i) {
        // An item already gone counts where the plan meant it to go: nothing of it is left.
        bool toTrash = outcomes_[i].kind == RemovalOutcome::Kind::Trashed ||
                       (outcomes_[i].kind == RemovalOutcome::Kind::Vanished &&
                        triedWith_[i] == Disposal::Trash);
        if (!outcomes_[i].gone()) continue;
        (toTrash ? trashed : deleted) += 1;
        (toTrash ? trashedBytes : deletedBytes) += plan_.items[i].size;
    }
    std::string line;
    auto add = [&line](const std::string& sentence) {
        line += (line.empty() ? "" : " ") + sentence;
    };
    const std::string& noun = plan_.noun;
    auto counted = [&noun](std::size_t count) {
        return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
    };
    if (trashed > 0) {
        add("Moved " + countAndSize(trashed, trashedBytes, noun) + " to the trash.");
    }
    if (deleted > 0) add(plan_.deletedVerb + " " + countAndSize(deleted, deletedBytes, noun) + ".");
    if (trashed + deleted == 0) add("Nothing was " + plan_.notDoneWord + ".");
    if (std::size_t failed = failedCount(); failed > 0) {
        add(counted(failed) + " could not be " + plan_.notDoneWord + ".");
    }
    if (untried() > 0) add("Stopped before " + counted(untried()) + ".");
    return line;
}

std::vector<std::string> RemovalConversation::failureLines() const {
    std::vector<std::string> lines;
    for (const auto& outcome : outcomes_) {
        if (!outcome.gone()) lines.push_back(outcome.path + ": " + outcome.reason());
    }
    return lines;
}

void RemovalConversation::reportFailures(Asker& asker) const {
    if (failedCount() == 0) return;
    std::string details;
    for (const auto& line : failureLines()) details += (details.empty() ? "" : "\n") + line;
    asker.tell(closingLine(), details);
}

}  // namespace quillby
