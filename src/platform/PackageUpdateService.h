// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// What the system's package service knows about updates of one package.
struct PackageUpdateAnswer {
    enum class State {
        Newer,         // an update is available: `version` is its version
        UpToDate,      // installed, no update known: `version` is the installed one
        NotInstalled,  // the package is not installed (a build from source, say)
        Failed,        // the service did not answer: `why` says what went wrong
    };
    State state = State::Failed;
    std::string version;
    std::string why;

    bool operator==(const PackageUpdateAnswer&) const = default;
};

// The system service that knows which installed packages have updates (PackageKit). It only
// reads what the package manager already knows; fetching newer package lists is the desktop's
// software tool's business.
class PackageUpdateService {
  public:
    virtual ~PackageUpdateService() = default;

    // True when the service answers or can be started on demand.
    virtual bool isRunning() = 0;
    // Whether a newer version of the installed `package` is available. Blocks for the length of
    // the request: never call it on the GUI thread.
    virtual PackageUpdateAnswer newerVersion(const std::string& package) = 0;
};

}  // namespace quillby
