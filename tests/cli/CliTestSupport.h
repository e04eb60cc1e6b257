// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

// Runs the real quillby command with HOME in a temporary folder (and no XDG variables, so every
// folder is HOME's default).
class CliHome {
  public:
    ProcessResult run(const std::vector<std::string>& arguments, const std::string& input = "",
                      std::chrono::seconds deadline = std::chrono::seconds::zero()) const {
        return runProcess(QUILLBY_CLI_PATH, arguments, {{"HOME", home.path().string()}}, input,
                          deadline);
    }
    // The same as an ordinary user, so that permission bits count: as nobody when the tests run
    // as root.
    ProcessResult runAsOrdinaryUser(std::vector<std::string> arguments,
                                    const std::string& input = "") const {
        if (::geteuid() != 0) return run(arguments, input);
        const std::string nobody = std::to_string(kNobodyId);
        arguments.insert(arguments.begin(), {"--reuid=" + nobody, "--regid=" + nobody,
                                             "--clear-groups", QUILLBY_CLI_PATH});
        return runProcess("/usr/bin/setpriv", arguments, {{"HOME", home.path().string()}}, input);
    }
    std::filesystem::path preferences() const {
        return home / ".config/com.quillby.pro/preferences.json";
    }
    std::filesystem::path dataFolder() const { return home / ".local/share/com.quillby.pro"; }

    TempDir home;
};

// Bad input refused as every command refuses it: status 2, nothing on standard output, and one
// line on standard error that mentions `mention`.
inline void expectRefusedInOneLine(const ProcessResult& result, const std::string& label,
                                   const std::string& mention = "") {
    EXPECT_EQ(result.status, 2) << label;
    EXPECT_EQ(result.out, "") << label;
    EXPECT_TRUE(holdsAll(result.err, mention));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_TRUE(result.err.ends_with('\n')) << result.err;
}

// A command line that must be refused as above, its error mentioning `mention`.
struct RefusedCommand {
    std::vector<std::string> arguments;
    std::string mention;
};
template <typename Cli>
void expectEachRefusedInOneLine(const Cli& cli, const std::vector<RefusedCommand>& commands) {
    for (const auto& c : commands) {
        expectRefusedInOneLine(cli.run(c.arguments), c.arguments.back(), c.mention);
    }
}

// The arguments of unshare that give a child a private mount namespace (of its own user when
// the tests run as an ordinary user), or none where the kernel or the container refuses one.
inline std::vector<std::string> privateMountNamespace() {
    for (std::vector<std::string> prefix :
         {std::vector<std::string>{"--mount"},
          std::vector<std::string>{"--user", "--map-root-user", "--mount"}}) {
        auto probe = prefix;
        probe.insert(probe.end(), {"--propagation", "private", "true"});
        if (runProcess("/usr/bin/unshare", probe, {}).status == 0) {
            prefix.insert(prefix.end(), {"--propagation", "private"});
            return prefix;
        }
    }
    return {};
}
