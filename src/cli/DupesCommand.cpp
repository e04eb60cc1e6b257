// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <dirent.h>
#include <sys/stat.h>
#include <CLI/CLI.hpp>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>
#include <vector>

#include "cli/AbsolutePath.h"
#include "cli/CliOutput.h"
#include "cli/ProgressLine.h"
#include "cli/SizeArgument.h"
#include "cli/StructuredOutput.h"
#include "core/fs/FolderIdentities.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunction.h"
#include "core/work/BackgroundJob.h"
#include "core/work/PlainMainQueue.h"
#include "core/work/ThreadWorker.h"
#include "duplicates/CopyLinking.h"
#include "duplicates/CopyToKeep.h"
#include "duplicates/DuplicateCategory.h"
#include "duplicates/DuplicateCopyLinker.h"
#include "duplicates/DuplicateCopyRemover.h"
#include "duplicates/DuplicateFilesOpt.h"
#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateSearchSettings.h"
#include "duplicates/MemberIdentity.h"
#include "duplicates/WalkExclusions.h"
#include "ui/model/RemovalConversation.h"

namespace quillby {

namespace {

struct DupesRequest {
    std::string path;
    std::string minSize;
    bool hidden = false;
    bool system = false;
    bool json = false;
    bool csv = false;
    bool progress = false;
    bool remove = false;
    bool permanent = false;
    std::string keep;
    std::vector<std::string> keepIn;
    std::vector<std::string> exclude;
    std::string link;
    bool anyOwnerMode = false;
    bool yes = false;
};

// The folder to search, as an absolute path; refuses what cannot be searched.
std::string checkedRoot(const std::string& given) {
    std::string text = absolutePath(given);
    struct stat status {};
    if (::stat(text.c_str(), &status) != 0) {
        throw usageError("no such folder: " + given);
    }
    if (!S_ISDIR(status.st_mode)) throw usageError("not a folder: " + given);
    DIR* folder = ::opendir(text.c_str());
    if (!folder) {
        throw usageError("cannot read folder " + given + ": " +
                         std::generic_category().message(errno));
    }
    ::closedir(folder);
    return text;
}

// The folders to keep copies in, known by what they are; refused as a folder to search would be.
FolderIdentities keepInFolders(const std::vector<std::string>& given) {
    FolderIdentities folders;
    for (const auto& folder : given) folders.add(checkedRoot(folder));
    return folders;
}

// Globs as given; paths made absolute, refused when they do not exist (a typing error would
// otherwise leave nothing out, silently).
std::vector<std::string> exclusions(const std::vector<std::string>& given) {
    std::vector<std::string> excludes;
    for (const auto& exclude : given) {
        if (WalkExclusions::isGlob(exclude)) {
            excludes.push_back(exclude);
            continue;
        }
        std::string path = absolutePath(exclude);
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0)
            throw usageError("no such path to exclude: " + exclude);
        excludes.push_back(std::move(path));
    }
    return excludes;
}

std::string dateText(const std::optional<SimpleNodeData::Date>& date, bool utc) {
    if (!date) return "";
    std::time_t seconds = std::chrono::system_clock::to_time_t(*date);
    std::tm parts{};
    if (utc) {
        gmtime_r(&seconds, &parts);
    } else {
        localtime_r(&seconds, &parts);
    }
    char text[32];
    std::strftime(text, sizeof text, utc ? "%Y-%m-%dT%H:%M:%SZ" : "%Y-%m-%d %H:%M", &parts);
    return text;
}

std::string categoryTitle(const TreeNode& group) {
    int row = DuplicateReview::rowOfFileType(group.nodeData()->fileType);
    return std::string(duplicateCategories()[static_cast<size_t>(row)].title);
}

struct SearchOutcome {
    TreeNode::Ptr tree;
    std::vector<FolderNotListed> notSearched;
};

SearchOutcome runSearch(const std::string& root, std::uint64_t threshold,
                        const DuplicateSearchOptions& options, bool showProgress) {
    auto search = std::make_shared<DuplicateFilesOpt>();
    search->setSearchOption(options);
    PlainMainQueue queue;
    ProgressLine progress(stderr, showProgress);
    progress.poll([&search] {
        std::string current = search->getCurrentSearchFile();
        if (current.size() > 60) current = "..." + current.substr(current.size() - 57);
        char percent[8];
        std::snprintf(percent, sizeof percent, "%3u%% ", search->getProgress());
        return percent + current;
    });
    bool finished = false;
    SearchOutcome outcome;
    // The tree is built on the search's thread: the memory its groups free there makes the rows.
    auto worker = ThreadWorker::workOn(
        "DuplicateFilesOpt", "beginSearchAtPath",
        ThreadWorker::Method([search, root, threshold, &outcome](const std::any&) {
            search->beginSearchAtPath(root, threshold);
            search->getDuplicateFiles(outcome.tree);
        }),
        {}, [&finished](const std::any&) { finished = true; }, &queue);
    // The progress line draws on its own thread; this one only waits for the search's end.
    while (!queue.runUntil([&] { return finished; }, std::chrono::milliseconds(100))) continue;
    progress.finish("100%");
    outcome.notSearched = search->foldersNotSearched();
    return outcome;
}

void printText(const TreeNode::Ptr& tree, const DuplicateReview& review, const std::string& root,
               std::uint64_t threshold) {
    size_t files = 0;
    std::uint64_t extra = 0;
    for (const auto& group : tree->nodeChildren()) {
        const auto& data = *group->nodeData();
        std::cout << categoryTitle(*group) << "  " << data.name << "  " << group->numberOfChildren()
                  << " copies, " << UtilityFunction::convertVolSpace(data.fileSize) << '\n';
        std::vector<std::vector<std::string>> rows;
        for (const auto& member : group->nodeChildren()) {
            const auto& leaf = *member->nodeData();
            rows.push_back({"  " + leaf.name, UtilityFunction::convertVolSpace(leaf.fileSize),
                            dateText(leaf.ModificationDate, false)});
        }
        std::cout << formatTable(rows);
        files += group->numberOfChildren();
        extra += review.extraCopyBytes(*group);
    }
    size_t groups = tree->numberOfChildren();
    if (groups == 0) {
        std::cout << "No duplicates in " << root << " (files larger than " << threshold
                  << " bytes).\n";
        return;
    }
    std::cout << groups << " groups, " << files << " files; the extra copies take "
              << UtilityFunction::convertVolSpace(extra) << ".\n";
}

// Ordered, so that the keys read as documented: root and threshold before the groups.
using Json = nlohmann::ordered_json;

Json jsonResult(const TreeNode::Ptr& tree, const std::string& root, std::uint64_t threshold) {
    auto groups = Json::array();
    for (const auto& group : tree->nodeChildren()) {
        const auto& data = *group->nodeData();
        auto members = Json::array();
        for (const auto& member : group->nodeChildren()) {
            const auto& leaf = *member->nodeData();
            Json modified = nullptr;
            if (leaf.ModificationDate) modified = dateText(leaf.ModificationDate, true);
            members.push_back(
                {{"path", leaf.name}, {"size", leaf.fileSize}, {"modified", modified}});
        }
        groups.push_back({{"name", data.name},
                          {"extension", std::string(data.extension())},
                          {"category", categoryTitle(*group)},
                          {"size", data.fileSize},
                          {"members", members}});
    }
    return {{"root", root}, {"threshold", threshold}, {"groups", groups}};
}

void printCsv(const TreeNode::Ptr& tree) {
    std::cout << "group,category,name,extension,path,size,modified\n";
    size_t number = 0;
    for (const auto& group : tree->nodeChildren()) {
        ++number;
        const auto& data = *group->nodeData();
        for (const auto& member : group->nodeChildren()) {
            const auto& leaf = *member->nodeData();
            std::cout << number << ',' << csvField(categoryTitle(*group)) << ','
                      << csvField(data.name) << ',' << csvField(data.extension()) << ','
                      << csvField(leaf.name) << ',' << leaf.fileSize << ','
                      << dateText(leaf.ModificationDate, true) << '\n';
        }
    }
}

std::ostream& reportStream(const DupesRequest& request) {
    return (request.json || request.csv) ? std::cerr : std::cout;
}

std::string keptPathOf(const TreeNode::Ptr& member) {
    TreeNode::Ptr kept = keptMemberOf(member->nodeParent()->shared_from_this());
    return kept ? kept->nodeData()->name : std::string("nothing");
}

// Ticks every copy but the one that stays by the keep rules, and lists them under `heading`
// with the copy each keeps. Nothing when there is nothing to do.
std::vector<TreeNode::Ptr> tickCopies(DuplicateReview& review, const DupesRequest& request,
                                      const std::string& heading) {
    std::ostream& report = reportStream(request);
    auto keep = copyToKeepNamed(request.keep.empty() ? "original" : request.keep);
    size_t bundles = tickCopiesToRemove(review, keep.value_or(CopyToKeep::Original));
    if (bundles > 0) {
        report << bundles << " bundle groups are listed but not removed from the command line.\n";
    }
    const auto& ticked = review.tickedMembers();
    if (ticked.empty()) {
        report << "Nothing to remove.\n";
        return {};
    }
    report << heading << '\n';
    for (const auto& member : ticked) {
        report << "  " << member->nodeData()->name << "  (keeps " << keptPathOf(member) << ")\n";
    }
    return ticked;
}

void removeCopies(DuplicateReview& review, const DupesRequest& request, const std::string& root) {
    std::ostream& report = reportStream(request);
    const std::vector<TreeNode::Ptr> ticked = tickCopies(
        review, request, request.permanent ? "Would delete for good:" : "Would move to the trash:");
    if (ticked.empty()) return;
    std::string freeing = UtilityFunction::convertVolSpace(review.bytesFreedByTicked());
    if (size_t names = review.tickedNamesOfOneFile(); names > 0) {
        report << names << " of them are names of a file that stays under another name: "
               << "removing them frees nothing.\n";
    }
    // Copies picked by the command go to the trash, where they can be put back, unless the
    // user asked for good.
    RemovalConversation::Plan plan;
    plan.disposal = request.permanent ? RemovalConversation::Disposal::Delete
                                      : RemovalConversation::Disposal::Trash;
    const std::vector<TreeNode::Ptr>& members = ticked;
    plan.items = DuplicateCopyRemover::itemsFor<RemovalItem>(members);
    std::string how = request.permanent ? "Delete these " + std::to_string(ticked.size()) +
                                              " files for good (frees " + freeing + ")?"
                                        : "Move these " + std::to_string(ticked.size()) +
                                              " files to the trash (frees " + freeing +
                                              " once the trash is emptied)?";
    if (!request.yes && !askYesNo(how)) {
        report << "Nothing removed.\n";
        return;
    }

    RemovalConversation conversation(std::move(plan));
    DuplicateCopyRemover remover(root);
    auto asUser = [&](const RemovalItem& item, RemovalConversation::Disposal disposal) {
        return remover.remove(members[item.tag], disposal);
    };
    JobContext job;
    conversation.run(asUser, job);
    // What no trash can take, and what only rights can remove, are asked about once each.
    TerminalAsker asker(!request.yes, report);
    if (conversation.askToDeleteUntrashable(asker)) conversation.deleteUntrashable(asUser, job);
    if (conversation.askToRetryWithRights(asker)) {
        conversation.retryWithRights(
            [&](const RemovalItem& item) {
                return remover.removeWithRights(members[item.tag],
                                                DuplicateCopyRemover::byHelper());
            },
            job);
    }
    for (const auto& outcome : conversation.outcomes()) {
        switch (outcome.kind) {
            case RemovalOutcome::Kind::Trashed:
                report << "trashed " << outcome.path << '\n';
                break;
            case RemovalOutcome::Kind::Removed:
                report << "removed " << outcome.path << '\n';
                break;
            case RemovalOutcome::Kind::Vanished:
                report << "already gone " << outcome.path << '\n';
                break;
            case RemovalOutcome::Kind::Refused:
            case RemovalOutcome::Kind::Failed:
                report << (outcome.kind == RemovalOutcome::Kind::Refused ? "refused " : "failed ")
                       << outcome.path << ": " << outcome.reason() << '\n';
                break;
        }
    }
    review.finishDeletion(DuplicateReview::reportOf(members, conversation.outcomes()));
    report << conversation.closingLine() << '\n';
    if (conversation.failedCount() > 0) {
        throw CliFailure(
            std::to_string(conversation.failedCount()) + " files were not removed (see above)", 1);
    }
}

// What became of one copy, in the word the text report and JSON both use.
const char* linkOutcomeWord(const RemovalOutcome& outcome) {
    switch (outcome.kind) {
        case RemovalOutcome::Kind::Removed:
            return outcome.removedEntries > 0 ? "replaced" : "already linked";
        case RemovalOutcome::Kind::Vanished:
            return "already gone";
        case RemovalOutcome::Kind::Refused:
            return "refused";
        default:
            return "failed";
    }
}

// Replaces every copy but the one that stays with a link to it; gives one record per copy tried
// (for JSON) and fails when any copy was left as it was.
Json linkCopies(DuplicateReview& review, const DupesRequest& request, const std::string& root) {
    std::ostream& report = reportStream(request);
    const LinkKind kind = linkKindNamed(request.link).value_or(LinkKind::Hard);
    const char* links = kind == LinkKind::Hard ? "hard links" : "reflinks";
    const std::vector<TreeNode::Ptr> ticked =
        tickCopies(review, request, std::string("Would replace with ") + links + ":");
    auto records = Json::array();
    if (ticked.empty()) return records;
    std::string freeing = UtilityFunction::convertVolSpace(review.bytesFreedByTicked());
    std::string how = "Replace these " + std::to_string(ticked.size()) + " files with " + links +
                      " to the copies that stay (frees " + freeing + ")?";
    if (!request.yes && !askYesNo(how)) {
        report << "Nothing replaced.\n";
        return records;
    }
    RemovalConversation::Plan plan;
    plan.disposal = RemovalConversation::Disposal::Delete;
    plan.items = DuplicateCopyRemover::itemsFor<RemovalItem>(ticked);
    plan.deletedVerb = "Replaced";
    plan.notDoneWord = "replaced";
    plan.offersRights = false;
    RemovalConversation conversation(std::move(plan));
    DuplicateCopyLinker linker(root, {kind, request.anyOwnerMode}, review.memberIdentities());
    std::vector<std::uint64_t> freed(ticked.size(), 0);
    std::vector<std::string> kept(ticked.size());
    JobContext job;
    conversation.run(
        [&](const RemovalItem& item, RemovalConversation::Disposal) {
            kept[item.tag] = keptPathOf(ticked[item.tag]);
            std::uint64_t before = linker.bytesFreed();
            RemovalOutcome outcome = linker.link(ticked[item.tag]);
            freed[item.tag] = linker.bytesFreed() - before;
            return outcome;
        },
        job);
    const auto& outcomes = conversation.outcomes();
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const RemovalOutcome& outcome = outcomes[i];
        const char* word = linkOutcomeWord(outcome);
        report << word << ' ' << outcome.path;
        if (!outcome.gone()) report << ": " << outcome.reason();
        if (outcome.removedEntries > 0) {
            report << " (frees " << UtilityFunction::convertVolSpace(freed[i]) << ")";
        }
        report << '\n';
        records.push_back({{"path", outcome.path},
                           {"kept", kept[i]},
                           {"outcome", word},
                           {"reason", outcome.gone() ? outcome.detail : outcome.reason()},
                           {"freed", freed[i]}});
    }
    review.finishDeletion(DuplicateReview::reportOf(ticked, outcomes));
    report << conversation.closingLine() << " Freed "
           << UtilityFunction::convertVolSpace(linker.bytesFreed()) << ".\n";
    return records;
}

void runDupes(const DupesRequest& request) {
    std::string root = checkedRoot(request.path);
    auto settings = DuplicateSearchSettings::fromUserDefaults(UserDefaults::standardUserDefaults());
    std::uint64_t threshold = settings.threshold;
    if (!request.minSize.empty()) {
        auto size = parseSizeArgument(request.minSize);
        if (!size) {
            throw usageError("bad size '" + request.minSize +
                             "': give bytes or a number with KB, MB, GB or TB");
        }
        threshold = *size;
    }
    const bool linking = !request.link.empty();
    if (linking && (request.remove || request.permanent))
        throw usageError(
            "--link replaces the copies: it goes with neither --delete nor --permanent");
    if (request.anyOwnerMode && request.link != "hard")
        throw usageError("--any-owner-mode goes with --link hard");
    bool removing =
        !linking && (request.remove || !request.keep.empty() || !request.keepIn.empty());
    if (request.permanent && !removing)
        throw usageError("--permanent needs --delete, --keep or --keep-in");
    FolderIdentities keepIn = keepInFolders(request.keepIn);
    if ((removing || linking) && (request.json || request.csv) && !request.yes) {
        throw usageError(std::string(linking ? "--link" : "--delete") +
                         " with --json or --csv needs --yes (there is no prompt)");
    }
    DuplicateSearchOptions options;
    options.includeHidden = request.hidden || settings.includeHidden;
    options.includeSystem = request.system || settings.includeSystem;
    // The settings' list and the command's add up; a stored path that went away leaves nothing
    // out, as on the page.
    options.excludes = settings.excludes;
    for (auto& exclude : exclusions(request.exclude))
        options.excludes.push_back(std::move(exclude));

    SearchOutcome search = runSearch(root, threshold, options, request.progress);
    DuplicateReview review(search.tree, root);  // also gives each group its category
    TreeNode::Ptr tree = review.categoryTree(0);
    // Names of one file left in a group with a copy are listed, but count as one file.
    review.setMemberIdentities(readMemberIdentities(tree));
    review.setKeptFirst(membersInFolders(tree, keepIn));
    // A search that missed folders says which, and never ends as if it had seen everything.
    for (const auto& folder : search.notSearched) {
        std::cerr << "not searched: " << folder.path << ": "
                  << std::generic_category().message(folder.error) << '\n';
    }
    Json json;
    if (request.json) {
        // With --link the outcomes join the groups in one document, once they are known.
        json = jsonResult(tree, root, threshold);
        if (!linking) std::cout << jsonText(json) << '\n';
    } else if (request.csv) {
        printCsv(tree);
    } else {
        printText(tree, review, root, threshold);
    }
    if (removing) removeCopies(review, request, root);
    std::size_t notLinked = 0;
    if (linking) {
        Json records = linkCopies(review, request, root);
        for (const auto& record : records) {
            notLinked += record["outcome"] == "refused" || record["outcome"] == "failed";
        }
        if (request.json) {
            json["replacements"] = std::move(records);
            std::cout << jsonText(json) << '\n';
        }
    }
    if (notLinked > 0) {
        throw CliFailure(std::to_string(notLinked) + " files were not replaced (see above)", 1);
    }
    if (!search.notSearched.empty()) {
        throw CliFailure(std::to_string(search.notSearched.size()) +
                             " folders could not be searched (see above)",
                         1);
    }
}

}  // namespace

void addDupesCommand(CLI::App& app) {
    auto request = std::make_shared<DupesRequest>();
    auto* dupes = app.add_subcommand(
        "dupes", "Find duplicate files below a folder and optionally remove the extra copies");
    dupes->add_option("PATH", request->path, "Folder to search")->required();
    dupes->add_option("--min-size", request->minSize,
                      "Only files larger than SIZE (bytes, or with KB/MB/GB/TB); default: the "
                      "settings' limit");
    dupes->add_flag("--hidden", request->hidden, "Include hidden files and folders");
    dupes->add_flag("--system", request->system, "Include the system folders at the top of /");
    auto* json = dupes->add_flag("--json", request->json, "Print JSON");
    auto* csv = dupes->add_flag("--csv", request->csv, "Print CSV, one line per file");
    json->excludes(csv);
    dupes->add_flag("--progress", request->progress, "Show progress on standard error");
    dupes->add_flag("--delete", request->remove,
                    "Move every copy but the original of each group to the trash");
    dupes->add_flag("--permanent", request->permanent,
                    "With --delete, delete the copies for good instead of trashing them");
    dupes->add_option("--keep", request->keep, "Which copy stays (implies --delete unless --link)")
        ->check(CLI::IsMember({"original", "first", "last", "oldest", "newest"}));
    dupes
        ->add_option("--keep-in", request->keepIn,
                     "Keep the copy inside DIR where a group has one (repeatable; implies "
                     "--delete unless --link)")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    dupes
        ->add_option("--exclude", request->exclude,
                     "Leave out a folder (PATH) or every name matching GLOB; never read "
                     "(repeatable)")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    dupes
        ->add_option("--link", request->link,
                     "Replace every copy but the one that stays (chosen as --keep and --keep-in "
                     "choose) with a hard link or a reflink to it; each path keeps its content")
        ->check(CLI::IsMember({"hard", "reflink"}));
    dupes->add_flag("--any-owner-mode", request->anyOwnerMode,
                    "With --link hard, also link copies whose owner, group or permissions differ "
                    "from the copy that stays (their paths then show its)");
    dupes->add_flag("--yes", request->yes, "Remove or replace without asking");
    dupes->callback([request] { runDupes(*request); });
}

}  // namespace quillby
