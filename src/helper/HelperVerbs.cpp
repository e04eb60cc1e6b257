#include "helper/HelperVerbs.h"

#include "clean/CleanCategory.h"
#include "clean/SystemCleanFolders.h"
#include "core/PathRules.h"
#include "core/TreeRemover.h"
#include "helper/CategoryItemClean.h"
#include "helper/HelperAnswer.h"
#include "helper/PackageRemoval.h"

namespace {

std::string ping(const std::string&) {
    return "ok";
}

// Removes an item the user picked by hand, with everything inside it, as root: no link on the
// way to it, none followed below it, no other file system entered.
std::string removeItem(const std::string& path) {
    if (std::string refusal = refusalForPath(path); !refusal.empty()) return "error " + refusal;
    TreeRemover remover({.judge = nullptr, .resetPermissions = false});
    return answerForRemoval(remover.removePath(path, false));
}

// The automatic cleans of the system categories: only inside the machine's own fixed folders.
std::string cleanSystemCaches(const std::string& path) {
    return cleanCategoryItem(CleanCategoryId::SystemCaches, path, "/var");
}

std::string cleanSystemLogs(const std::string& path) {
    return cleanCategoryItem(CleanCategoryId::SystemLogs, path, "/var");
}

// Removes the package that installed an application entry (see PackageRemoval).
std::string removePackage(const std::string& argument) {
    return PackageRemoval::removeOwningPackage(argument, PackageRemoval::systemTools());
}

constexpr HelperVerb kVerbs[] = {
    {"ping", ping},
    {"remove", removeItem},
    {SystemCleanFolders::kSystemCachesVerb, cleanSystemCaches},
    {SystemCleanFolders::kSystemLogsVerb, cleanSystemLogs},
    {"remove-package", removePackage},
};

}  // namespace

const HelperVerb* findHelperVerb(std::string_view name) {
    for (const auto& verb : kVerbs) {
        if (verb.name == name) return &verb;
    }
    return nullptr;
}

std::string refusalForPath(const std::string& path) {
    if (!isNormalizedAbsolutePath(path)) return "not an absolute, normalised path";
    if (pathComponentCount(path) < 2) return "refusing a folder at the top of the file system";
    return "";
}
