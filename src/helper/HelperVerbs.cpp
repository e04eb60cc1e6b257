#include "helper/HelperVerbs.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "core/FolderHandle.h"
#include "core/PathRules.h"
#include "core/TreeRemover.h"
#include "helper/PackageRemoval.h"

namespace {

std::string describeError(const std::string& path, int error) {
    if (error == ELOOP) return path + ": the path goes through a symbolic link";
    if (error == EXDEV) return path + ": it holds another file system";
    return path + ": " + std::strerror(error);
}

std::string ping(const std::string&) {
    return "ok";
}

// Removes an item with everything inside it, as root: no link on the way to it, none followed
// below it, no other file system entered.
std::string removeItem(const std::string& path) {
    if (std::string refusal = refusalForPath(path); !refusal.empty()) return "error " + refusal;
    TreeRemover remover({.judge = nullptr, .resetPermissions = false});
    RemovalReport report = remover.removePath(path, false);
    if (!report.failed()) return "ok";
    const RemovalFailure& first = report.failures.front();
    std::string answer = "error " + describeError(first.path, first.error);
    if (report.failureCount > 1) {
        answer += " (and " + std::to_string(report.failureCount - 1) + " more)";
    }
    return answer;
}

// Removes a folder only when it is empty, so that a caller that judged its contents one by one
// never has the helper delete something it did not judge.
std::string removeEmptyFolder(const std::string& path) {
    if (std::string refusal = refusalForPath(path); !refusal.empty()) return "error " + refusal;
    std::string name;
    int error = 0;
    FolderHandle parent = FolderHandle::openParentWithoutLinks(path, name, error);
    if (!parent.isOpen()) return "error " + describeError(path, error);
    if (::unlinkat(parent.fd(), name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
        return "error " + describeError(path, errno);
    }
    return "ok";
}

// Removes the package that installed an application entry (see PackageRemoval).
std::string removePackage(const std::string& argument) {
    return PackageRemoval::removeOwningPackage(argument, PackageRemoval::systemTools());
}

constexpr HelperVerb kVerbs[] = {
    {"ping", ping},
    {"remove", removeItem},
    {"rmdir", removeEmptyFolder},
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
