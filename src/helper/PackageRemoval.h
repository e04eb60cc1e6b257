// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillby {

// How the helper asks a package manager which files a package installed, and removes it. Each
// command is a program with its first arguments; the package name is appended.
struct PackageTools {
    std::string manager;                   // "dpkg", "rpm" or "pacman", for messages
    std::vector<std::string> listFiles;    // prints the package's files, one a line
    std::vector<std::string> removal;      // removes the package alone, refusing when others
                                           // depend on it
    std::vector<std::string> environment;  // the tools' whole environment
};

// The helper's "remove-package" request: removes a system package, but only one that installed
// the application entry named with it, so that the helper can never be made to remove anything
// but an application's package.
class PackageRemoval {
  public:
    // The package manager of this machine, taken from the system's own program folders (never
    // from the caller's PATH); nothing when there is none.
    static std::optional<PackageTools> systemTools();

    // Handles a request whose argument is a package name, one blank and the absolute,
    // normalised path of a desktop entry in an "applications" folder. Answers "ok" once the
    // package is removed, else "error " and the reason: a malformed argument, a package that
    // did not install that entry, or the package manager's refusal.
    static std::string removeOwningPackage(const std::string& argument,
                                           const std::optional<PackageTools>& tools);

    // True for a package name the package managers accept; never one that starts with "-".
    static bool isPackageName(const std::string& name);
};

}  // namespace quillby
