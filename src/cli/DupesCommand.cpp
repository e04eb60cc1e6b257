#include "cli/DupesCommand.h"

#include <dirent.h>
#include <sys/stat.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/CliOutput.h"
#include "core/PlainMainQueue.h"
#include "core/ThreadWorker.h"
#include "core/UserDefaults.h"
#include "core/UtilityFunction.h"
#include "duplicates/DuplicateCategory.h"
#include "duplicates/DuplicateFilesOpt.h"
#include "duplicates/DuplicateRemoval.h"
#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateSearchSettings.h"

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
    std::string keep;
    bool yes = false;
};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The folder to search, as an absolute path; refuses what cannot be searched.
std::string checkedRoot(const std::string& given) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(given, error).lexically_normal();
    std::string text = path.string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
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

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

TreeNode::Ptr runSearch(const std::string& root, std::uint64_t threshold,
                        const DuplicateSearchOptions& options, bool showProgress) {
    auto search = std::make_shared<DuplicateFilesOpt>();
    search->setSearchOption(options);
    PlainMainQueue queue;
    bool finished = false;
    auto worker = ThreadWorker::workOn(
        "DuplicateFilesOpt", "beginSearchAtPath",
        ThreadWorker::Method([search, root, threshold](const std::any&) {
            search->beginSearchAtPath(root, threshold);
        }),
        {}, [&finished](const std::any&) { finished = true; }, &queue);
    while (!queue.runUntil([&] { return finished; }, std::chrono::milliseconds(100))) {
        if (!showProgress) continue;
        std::string current = search->getCurrentSearchFile();
        if (current.size() > 60) current = "..." + current.substr(current.size() - 57);
        std::fprintf(stderr, "\r\033[K%3u%% %s", search->getProgress(), current.c_str());
        std::fflush(stderr);
    }
    if (showProgress) std::fprintf(stderr, "\r\033[K100%%\n");
    TreeNode::Ptr tree;
    search->getDuplicateFiles(tree);
    return tree;
}

void printText(const TreeNode::Ptr& tree, const std::string& root, std::uint64_t threshold) {
    size_t files = 0;
    std::uint64_t extra = 0;
    for (const auto& group : tree->children()) {
        const auto& data = *group->nodeData();
        std::cout << categoryTitle(*group) << "  " << data.name << "  " << group->numberOfChildren()
                  << " copies, " << UtilityFunction::convertVolSpace(data.fileSize) << '\n';
        std::vector<std::vector<std::string>> rows;
        for (const auto& member : group->children()) {
            const auto& leaf = *member->nodeData();
            rows.push_back({"  " + leaf.name, UtilityFunction::convertVolSpace(leaf.fileSize),
                            dateText(leaf.ModificationDate, false)});
        }
        std::cout << formatTable(rows);
        files += group->numberOfChildren();
        if (group->numberOfChildren() > 0) {
            extra += data.fileSize - group->firstChild()->nodeData()->fileSize;
        }
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

void printJsonResult(const TreeNode::Ptr& tree, const std::string& root, std::uint64_t threshold) {
    // Ordered, so that the keys read as documented: root and threshold before the groups.
    using Json = nlohmann::ordered_json;
    auto groups = Json::array();
    for (const auto& group : tree->children()) {
        const auto& data = *group->nodeData();
        auto members = Json::array();
        for (const auto& member : group->children()) {
            const auto& leaf = *member->nodeData();
            Json modified = nullptr;
            if (leaf.ModificationDate) modified = dateText(leaf.ModificationDate, true);
            members.push_back(
                {{"path", leaf.name}, {"size", leaf.fileSize}, {"modified", modified}});
        }
        groups.push_back({{"name", data.name},
                          {"extension", data.extendName.value_or("")},
                          {"category", categoryTitle(*group)},
                          {"size", data.fileSize},
                          {"members", members}});
    }
    Json result = {{"root", root}, {"threshold", threshold}, {"groups", groups}};
    std::cout << result.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

void printCsv(const TreeNode::Ptr& tree) {
    std::cout << "group,category,name,extension,path,size,modified\n";
    size_t number = 0;
    for (const auto& group : tree->children()) {
        ++number;
        const auto& data = *group->nodeData();
        for (const auto& member : group->children()) {
            const auto& leaf = *member->nodeData();
            std::cout << number << ',' << csvField(categoryTitle(*group)) << ','
                      << csvField(data.name) << ',' << csvField(data.extendName.value_or("")) << ','
                      << csvField(leaf.name) << ',' << leaf.fileSize << ','
                      << dateText(leaf.ModificationDate, true) << '\n';
        }
    }
}

bool isBundleGroup(const TreeNode& group) {
    return group.nodeData()->extendName == "APP" && group.numberOfChildren() > 0 &&
           !group.firstChild()->nodeData()->ModificationDate;
}

// The member that stays under --keep: by position or by date (ties keep the later member, as
// the plain rule keeps the last).
size_t keeperIndex(const std::vector<TreeNode::Ptr>& members, const std::string& keep) {
    if (keep == "first") return 0;
    if (keep != "oldest" && keep != "newest") return members.size() - 1;
    auto dateOf = [&](size_t i) {
        return members[i]->nodeData()->ModificationDate.value_or(SimpleNodeData::Date{});
    };
    size_t chosen = 0;
    for (size_t i = 1; i < members.size(); ++i) {
        if (keep == "oldest" ? dateOf(i) <= dateOf(chosen) : dateOf(i) >= dateOf(chosen)) {
            chosen = i;
        }
    }
    return chosen;
}

// Ticks the copies to remove as the page would; gives how many bundle groups were left alone.
size_t tickCopies(DuplicateReview& review, const std::string& keep) {
    size_t bundles = 0;
    for (const auto& group : review.categoryTree(0)->children()) {
        if (isBundleGroup(*group)) {
            ++bundles;
            continue;
        }
        if (keep == "last") {
            review.clickGroupBox(group);
            continue;
        }
        auto members = group->children();
        size_t keeper = keeperIndex(members, keep);
        for (size_t i = 0; i < members.size(); ++i) {
            if (i != keeper) review.clickMemberBox(members[i], [] { return false; });
        }
    }
    return bundles;
}

// The first member of a group that stays (is not ticked).
TreeNode::Ptr keptMemberOf(const TreeNode::Ptr& group) {
    for (const auto& member : group->children()) {
        if (member->nodeData()->selectNum == 0) return member;
    }
    return nullptr;
}

bool askToGoOn(size_t count, std::uint64_t bytes) {
    std::cout << "Remove these " << count << " files (" << UtilityFunction::convertVolSpace(bytes)
              << ")? [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    for (char& c : answer) c = lowerAscii(c);
    return answer == "y" || answer == "yes";
}

void removeCopies(DuplicateReview& review, const DupesRequest& request) {
    std::ostream& report = (request.json || request.csv) ? std::cerr : std::cout;
    std::string keep = request.keep.empty() ? "last" : request.keep;
    size_t bundles = tickCopies(review, keep);
    if (bundles > 0) {
        report << bundles << " bundle groups are listed but not removed from the command line.\n";
    }
    const auto& ticked = review.tickedMembers();
    if (ticked.empty()) {
        report << "Nothing to remove.\n";
        return;
    }
    std::uint64_t bytes = 0;
    report << "Would remove:\n";
    for (const auto& member : ticked) {
        bytes += member->nodeData()->fileSize;
        TreeNode::Ptr kept = keptMemberOf(member->nodeParent()->shared_from_this());
        report << "  " << member->nodeData()->name << "  (keeps "
               << (kept ? kept->nodeData()->name : std::string("nothing")) << ")\n";
    }
    if (!request.yes && !askToGoOn(ticked.size(), bytes)) {
        report << "Nothing removed.\n";
        return;
    }

    size_t removed = 0, refused = 0;
    std::uint64_t freed = 0;
    std::atomic<bool> stop{false};
    auto remover = [&](const TreeNode::Ptr& member, const TreeNode::Ptr& group) {
        const std::string& path = member->nodeData()->name;
        TreeNode::Ptr kept = keptMemberOf(group);
        if (!kept) {
            // Never every copy: without a member that stays there is nothing to compare with.
            report << "refused " << path << ": it is the last copy of its group\n";
            ++refused;
            return false;
        }
        auto result = DuplicateRemoval::removeVerifiedCopy(path, kept->nodeData()->name);
        if (result.outcome == DuplicateRemoval::Outcome::Removed) {
            report << "removed " << path << '\n';
            ++removed;
            freed += member->nodeData()->fileSize;
            return true;
        }
        bool refusal = result.outcome != DuplicateRemoval::Outcome::Failed;
        report << (refusal ? "refused " : "failed ") << path << ": " << result.detail << '\n';
        ++refused;
        return false;
    };
    auto outcome = review.removeTickedMembers(remover, stop, nullptr, nullptr);
    review.finishDeletion(outcome);
    report << "Removed " << removed << " files (" << UtilityFunction::convertVolSpace(freed)
           << ").\n";
    if (refused > 0) {
        throw CliFailure(std::to_string(refused) + " files were not removed (see above)", 1);
    }
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
    bool removing = request.remove || !request.keep.empty();
    if (removing && (request.json || request.csv) && !request.yes) {
        throw usageError("--delete with --json or --csv needs --yes (there is no prompt)");
    }
    DuplicateSearchOptions options;
    options.includeHidden = request.hidden || settings.includeHidden;
    options.includeSystem = request.system || settings.includeSystem;

    TreeNode::Ptr tree = runSearch(root, threshold, options, request.progress);
    DuplicateReview review(tree, root);  // also gives each group its category
    tree = review.categoryTree(0);
    if (request.json) {
        printJsonResult(tree, root, threshold);
    } else if (request.csv) {
        printCsv(tree);
    } else {
        printText(tree, root, threshold);
    }
    if (removing) removeCopies(review, request);
}

}  // namespace

std::optional<std::uint64_t> parseSizeArgument(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return std::nullopt;
    std::string_view whole = text.substr(0, digits);
    std::string_view fraction;
    std::string_view rest = text.substr(digits);
    if (!rest.empty() && rest.front() == '.') {
        size_t end = 1;
        while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9') ++end;
        fraction = rest.substr(1, end - 1);
        if (fraction.empty()) return std::nullopt;
        rest = rest.substr(end);
    }
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    std::string unit;
    for (char c : rest) unit += lowerAscii(c);
    std::uint64_t multiplier;
    if (unit.empty() || unit == "b") {
        if (!fraction.empty()) return std::nullopt;  // no fractions of a byte
        multiplier = 1;
    } else if (unit == "kb") {
        multiplier = 1000ULL;
    } else if (unit == "mb") {
        multiplier = 1000000ULL;
    } else if (unit == "gb") {
        multiplier = 1000000000ULL;
    } else if (unit == "tb") {
        multiplier = 1000000000000ULL;
    } else {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : whole) {
        std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (value > UINT64_MAX / multiplier) return std::nullopt;
    value *= multiplier;
    // The fraction's digits, each worth a tenth of the one before; what falls below a byte is
    // dropped.
    std::uint64_t step = multiplier;
    for (char c : fraction) {
        step /= 10;
        if (step == 0) break;
        std::uint64_t add = static_cast<std::uint64_t>(c - '0') * step;
        if (value > UINT64_MAX - add) return std::nullopt;
        value += add;
    }
    return value;
}

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
    dupes->add_flag("--delete", request->remove, "Remove every copy but the last of each group");
    dupes->add_option("--keep", request->keep, "Which copy stays (implies --delete)")
        ->check(CLI::IsMember({"first", "last", "oldest", "newest"}));
    dupes->add_flag("--yes", request->yes, "Remove without asking");
    dupes->callback([request] { runDupes(*request); });
}
