// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/HelperVerbs.h"

#include <pwd.h>
#include <unistd.h>
#include <cstdlib>

#include "clean/CleanCategory.h"
#include "clean/SystemCleanFolders.h"
#include "core/fs/PathRules.h"
#include "helper/CategoryItemClean.h"
#include "helper/HelperAnswer.h"
#include "helper/JournalVacuum.h"
#include "helper/PackageRemoval.h"

namespace quillby {

namespace {

std::string ping(const std::string&) {
    return "ok";
}

// The user the helper acts for: pkexec names them; started directly, root asks for itself.
uid_t askingUser() {
    const char* named = std::getenv("PKEXEC_UID");
    if (!named || !*named) return ::getuid();
    char* end = nullptr;
    unsigned long id = std::strtoul(named, &end, 10);
    return (*end == '\0') ? static_cast<uid_t>(id) : ::getuid();
}

std::string removeItem(const std::string& path) {
    DeletionGate::Options options;
    options.caller = askingUser();
    if (passwd* account = ::getpwuid(options.caller); account && account->pw_dir) {
        options.home = account->pw_dir;
    }
    options.resetPermissions = false;
    return removePickedItem(path, options);
}

// The automatic cleans of the system categories: only inside the machine's own fixed folders.
std::string cleanSystemCaches(const std::string& path) {
    return cleanCategoryItem(CleanCategoryId::SystemCaches, path, "/var");
}

std::string cleanSystemLogs(const std::string& path) {
    return cleanCategoryItem(CleanCategoryId::SystemLogs, path, "/var");
}

// Trims the system journal to the size asked for (see JournalVacuum).
std::string vacuumJournal(const std::string& argument) {
    return JournalVacuum::vacuum(argument, JournalVacuum::systemTool());
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
    {SystemCleanFolders::kJournalVacuumVerb, vacuumJournal},
    {"remove-package", removePackage},
};

}  // namespace

const HelperVerb* findHelperVerb(std::string_view name) {
    for (const auto& verb : kVerbs) {
        if (verb.name == name) return &verb;
    }
    return nullptr;
}

std::string removePickedItem(const std::string& path, const DeletionGate::Options& options) {
    if (std::string refusal = refusalForPath(path); !refusal.empty()) return "error " + refusal;
    return answerForRemoval(
        DeletionGate(options).removeInside("", path, std::nullopt, DeletionGate::Disposal::Delete));
}

std::string refusalForPath(const std::string& path) {
    if (!isNormalizedAbsolutePath(path)) return "not an absolute, normalised path";
    if (pathComponentCount(path) < 2) return "refusing a folder at the top of the file system";
    return "";
}

}  // namespace quillby
