// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/CategoryItemClean.h"

#include <unistd.h>
#include <cerrno>
#include <vector>

#include "clean/SystemCleanFolders.h"
#include "core/fs/DeletionGate.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "helper/HelperAnswer.h"
#include "helper/HelperVerbs.h"

namespace quillby {

namespace {

// The components of `path` below the category folder holding it, with that folder's path and
// rule.
bool splitBelowCategoryFolder(int category, const std::string& path, const std::string& varRoot,
                              std::string& folder, std::shared_ptr<const CleanRule>& rule,
                              std::vector<std::string>& steps) {
    for (const auto& fixed : SystemCleanFolders::folders(category)) {
        std::string candidate = varRoot + "/" + std::string(fixed.relative);
        if (path.size() <= candidate.size() + 1 || !path.starts_with(candidate + "/")) continue;
        folder = candidate;
        rule = fixed.rule;
        std::size_t start = candidate.size() + 1;
        while (start <= path.size()) {
            std::size_t slash = path.find('/', start);
            if (slash == std::string::npos) slash = path.size();
            steps.push_back(path.substr(start, slash - start));
            start = slash + 1;
        }
        return true;
    }
    return false;
}

}  // namespace

std::string cleanCategoryItem(int category, const std::string& path, const std::string& varRoot) {
    if (std::string refusal = refusalForPath(path); !refusal.empty()) return "error " + refusal;
    std::shared_ptr<const CleanRule> rule;
    std::string folder;
    std::vector<std::string> steps;
    if (!splitBelowCategoryFolder(category, path, varRoot, folder, rule, steps)) {
        return "error " + path + ": not in a folder of this clean category";
    }
    std::string name;
    int error = 0;
    // The category folder itself is reached with no link on the way either.
    FolderHandle current =
        FolderHandle::openParentWithoutLinks(folder + "/" + steps.front(), name, error);
    if (!current.isOpen()) return "error " + describeRemovalError(folder, error);
    std::string currentPath = folder;
    EntryVerdict parentVerdict = EntryVerdict::Descend;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string& step = steps[i];
        int depth = static_cast<int>(i) + 1;
        auto status = entryStatusAt(current.fd(), step.c_str());
        if (!status) {
            if (errno == ENOENT) return "ok";
            return "error " + describeRemovalError(currentPath + "/" + step, errno);
        }
        EntryVerdict verdict = rule->judge({step, status->kind, depth, parentVerdict});
        if (i + 1 == steps.size()) {
            if (verdict == EntryVerdict::Keep) {
                return "error " + path + ": the category's rule keeps it";
            }
            DeletionGate::Options options;
            options.caller = ::getuid();
            options.protectAccountHomes = false;  // only inside the category's system folders
            options.judge = rule.get();
            options.resetPermissions = false;
            // The fixed folder's contents are the category's even inside a system folder (the
            // core dumps in /var/lib); the folder itself stays protected.
            options.releasedSystemFolders = {folder.substr(1)};
            return answerForRemoval(
                DeletionGate(options).removeJudged(current, currentPath, step, verdict, depth));
        }
        if (verdict != EntryVerdict::Descend || status->kind != EntryKind::Directory) {
            return "error " + path + ": the category's rule keeps a folder on the way";
        }
        FolderHandle next = FolderHandle::openChild(current, step.c_str(), true, error);
        if (!next.isOpen()) return "error " + describeRemovalError(currentPath + "/" + step, error);
        current = std::move(next);
        currentPath += "/" + step;
        parentVerdict = verdict;
    }
    return "error " + path + ": not in a folder of this clean category";
}

}  // namespace quillby
