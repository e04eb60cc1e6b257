// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <fcntl.h>
#include <unistd.h>
#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "clean/CategoryFolders.h"
#include "clean/CleanCategory.h"
#include "clean/CleanFailure.h"
#include "clean/CleanHistory.h"
#include "clean/CleanToolItems.h"
#include "clean/EnabledCleanCategories.h"
#include "clean/QuickCleanFolders.h"
#include "clean/QuickCleanSession.h"
#include "clean/ScanViewController.h"
#include "clean/VolumeListInternalVolumes.h"
#include "cli/CliOutput.h"
#include "cli/ProgressLine.h"
#include "core/fs/DeletionGate.h"
#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunction.h"
#include "core/work/PlainMainQueue.h"
#include "core/work/PrivilegedAuthorization.h"
#include "platform/Services.h"

namespace quillby {

namespace {

struct CleanChoice {
    std::vector<int> categories;
    bool asJson = false;
    bool dryRun = false;
    bool yes = false;
};

CategoryFolders categoryFolders() {
    return CategoryFolders(Services::context(), std::make_shared<VolumeListInternalVolumes>());
}

// A user category asked for in another user's home fails the command rather than passing for
// an empty one.
void requireUserCategoriesAllowed(const CategoryFolders& folders, const std::vector<int>& ids) {
    if (std::none_of(ids.begin(), ids.end(), CategoryFolders::isUserCategory)) return;
    if (std::string refusal = folders.userCategoriesRefusal(); !refusal.empty()) {
        throw CliFailure(refusal, 1);
    }
}

// The named categories in id order; none named: the enabled ones (or every one).
std::vector<int> checkedCategories(const std::vector<int>& given, bool enabledOnly) {
    for (int id : given) {
        if (!isCleanCategoryId(id)) {
            throw usageError("no clean category " + std::to_string(id) + " (0 ... 5)");
        }
    }
    if (given.empty() && enabledOnly) return enabledCleanCategories();
    std::vector<int> ids;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        if (given.empty() || std::find(given.begin(), given.end(), id) != given.end()) {
            ids.push_back(id);
        }
    }
    return ids;
}

// Progress on standard output, where the plan follows it; only on a terminal.
struct CleanProgress : ProgressLine {
    CleanProgress() : ProgressLine(stdout, onTerminal(stdout)) {}
    void showShortened(const std::string& text) {
        show(text.size() > 100 ? text.substr(0, 97) + "..." : text);
    }
};

TreeTotals scanShowingProgress(QuickCleanSession& session) {
    CleanProgress progress;
    return session.scan(
        [&progress](const std::string& folder) { progress.showShortened("Scanning " + folder); });
}

void runScan(const CleanChoice& choice) {
    CategoryFolders folders = categoryFolders();
    std::vector<int> ids = checkedCategories(choice.categories, false);
    requireUserCategoriesAllowed(folders, ids);
    PlainMainQueue queue;
    std::vector<std::unique_ptr<ScanViewController>> lists;
    for (int id : ids) {
        lists.push_back(std::make_unique<ScanViewController>(id));
        lists.back()->beginScanTask([folders = folders.cleanFolders(id)] { return folders; },
                                    CleanToolItems::ofCategory(id));
    }
    queue.runUntil(
        [&] {
            return std::all_of(lists.begin(), lists.end(),
                               [](const auto& list) { return list->scanFinished.get(); });
        },
        std::chrono::hours(24 * 365));

    auto categories = nlohmann::json::array();
    std::string text;
    for (const auto& list : lists) {
        auto items = list->scanFiles.get();
        std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
            return a.fileSizeNum > b.fileSizeNum;
        });
        std::uint64_t total = 0;
        auto folderList = nlohmann::json::array();
        auto itemList = nlohmann::json::array();
        for (const auto& folder : list->folders()) folderList.push_back(folder.path.string());
        std::vector<std::vector<std::string>> rows;
        for (const auto& item : items) {
            total += item.fileSizeNum;
            itemList.push_back({{"name", item.name},
                                {"path", item.path},
                                {"size", item.fileSizeNum},
                                {"sizeText", item.size}});
            // A package tool's key is for scripts (the JSON keeps it); people read what it is.
            rows.push_back({"  " + item.size,
                            item.toolIndex >= 0 ? item.name + ": " + item.description : item.path});
        }
        const CleanCategory& category = cleanCategories()[list->aTag];
        std::string sizeText = UtilityFunction::convertVolSpace(total);
        std::string note = list->scanNote();
        categories.push_back({{"id", list->aTag},
                              {"title", category.title},
                              {"folders", folderList},
                              {"size", total},
                              {"sizeText", sizeText},
                              {"items", itemList},
                              {"unreadable", list->unreadable},
                              {"unavailable", list->unavailableTools},
                              {"note", note}});
        text += std::to_string(list->aTag) + " " + std::string(category.title) + ": " + sizeText +
                " in " + std::to_string(items.size()) + (items.size() == 1 ? " item" : " items") +
                (note.empty() ? "" : ", " + note) + "\n";
        for (const auto& folder : list->folders()) {
            text += "  folder " + folder.path.string() + "  (" + std::string(folder.rule->scope()) +
                    ")\n";
        }
        for (const auto& path : list->unreadable)
            text += "  needs administrator rights to read " + path + "\n";
        text += formatTable(rows);
    }
    if (choice.asJson) {
        printJson({{"categories", categories}});
    } else {
        std::cout << text;
    }
}

bool needsAdministrator(const std::vector<CleanFolder>& folders) {
    if (::geteuid() == 0) return false;
    return std::any_of(folders.begin(), folders.end(), [](const CleanFolder& folder) {
        return ::access(folder.path.c_str(), F_OK) == 0 && !userMayChangeFolder(folder.path);
    });
}

void printPlan(const std::vector<int>& ids, const std::vector<CleanFolder>& folders,
               const TreeTotals& found) {
    std::cout << "Categories:";
    for (int id : ids) std::cout << " " << cleanCategories()[id].title << ";";
    std::cout << "\nFolders to empty:\n";
    for (const auto& folder : folders) {
        std::cout << "  " << folder.path.string() << "  (" << folder.rule->scope() << ")\n";
    }
    std::cout << "Found " << found.entries << (found.entries == 1 ? " item, " : " items, ")
              << UtilityFunction::convertVolSpace(found.bytes) << ".\n";
}

void runClean(const CleanChoice& choice) {
    std::vector<int> ids = checkedCategories(choice.categories, true);
    CategoryFolders categories = categoryFolders();
    requireUserCategoriesAllowed(categories, ids);
    QuickCleanFolders run =
        QuickCleanFolders::of(ids, [&categories](int id) { return categories.cleanFolders(id); });
    if (run.folders.empty()) {
        std::cout << localizedString("NO_FOLDER_CONTENT") << "\n";
        return;
    }
    auto& authorization = PrivilegedAuthorization::sharedAuthorization();
    auto session = std::make_unique<QuickCleanSession>(
        run.folders, DeleteFolderOperation::Options{.authorization = &authorization});
    TreeTotals found = scanShowingProgress(*session);
    printPlan(ids, run.folders, found);
    if (choice.dryRun) {
        std::cout << "Dry run: nothing was deleted.\n";
        return;
    }
    if (found.entries == 0) {
        std::cout << "Nothing to clean.\n";
        return;
    }
    if (!choice.yes) {
        if (!askYesNo("Delete these items for good?")) {
            throw CliFailure("cancelled: nothing was deleted", 1);
        }
        if (run.hasDownloads() && !askYesNo(std::string(kDownloadsConfirmMessage) + "\n" +
                                            kDownloadsConfirmExplanation)) {
            run.dropDownloads();
            std::cout << "The Downloads folder stays as it is.\n";
            if (run.folders.empty()) return;
            session = std::make_unique<QuickCleanSession>(
                run.folders, DeleteFolderOperation::Options{.authorization = &authorization});
            scanShowingProgress(*session);
        }
    }
    if (needsAdministrator(run.folders) && !authorization.allocAuthorization()) {
        std::cout << "Administrator rights were not given: folders you may not change stay as "
                     "they are.\n";
    }
    QuickCleanResult result;
    {
        CleanProgress line;
        result = session->clean([&line](const JobProgress& progress) {
            char percent[16];
            std::snprintf(percent, sizeof percent, "%3.0f%% ", progress.percent());
            line.showShortened(percent + progress.currentPath);
        });
    }
    authorization.freeAuthorization();
    recordFinishedClean(result.cleanedSize);

    std::cout << localizedString("CLEAN_FILES_COUNT") << " " << result.cleanedCount << "\n"
              << localizedString("CLEAN_FILES_SIZE") << " "
              << UtilityFunction::convertVolSpace(result.cleanedSize) << "\n";
    if (result.failures.empty()) return;
    std::cout << "Could not delete:\n" << cleanFailureReport(run.failuresOf(result.failures));
    throw CliFailure(std::to_string(result.failures.size()) +
                         (result.failures.size() == 1 ? " item" : " items") +
                         " could not be deleted",
                     1);
}

}  // namespace

void addCleanCommand(CLI::App& app) {
    auto* clean = app.add_subcommand("clean", "Scan and clean caches, logs, trash and downloads");
    requireCommand(*clean);

    auto scanChoice = std::make_shared<CleanChoice>();
    auto* scan =
        clean->add_subcommand("scan", "List what each clean category would delete, largest first");
    scan->add_flag("--json", scanChoice->asJson, "Print JSON");
    scan->add_option("--category", scanChoice->categories,
                     "Only these categories: 0 System Caches, 1 User Caches, 2 System Logs, "
                     "3 User Logs, 4 User Trash, 5 User Downloads");
    scan->callback([scanChoice] { runScan(*scanChoice); });

    auto runChoice = std::make_shared<CleanChoice>();
    auto* run = clean->add_subcommand(
        "run", "Empty the folders of the enabled categories (or of the named ones)");
    run->add_option("--category", runChoice->categories, "Only these categories (0 ... 5)");
    run->add_flag("--dry-run", runChoice->dryRun, "Show what would be deleted; delete nothing");
    run->add_flag("--yes", runChoice->yes, "Do not ask for confirmation");
    run->callback([runChoice] { runClean(*runChoice); });
}

}  // namespace quillby
