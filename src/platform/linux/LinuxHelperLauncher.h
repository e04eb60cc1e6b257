// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/PlatformContext.h"
#include "platform/PrivilegedHelperLauncher.h"

namespace quillby {

// Starts quillby-helper in its request mode: through pkexec when the program is not root (the
// desktop's authentication agent, or pkexec's own text prompt on a terminal, asks the user),
// directly when it is.
class LinuxHelperLauncher final : public PrivilegedHelperLauncher {
  public:
    struct Options {
        std::string helperPath;
        bool throughPkexec = true;
        std::string pkexecPath = "pkexec";  // looked up on PATH unless absolute
    };

    explicit LinuxHelperLauncher(Options options);

    // The launcher of the installed (or freshly built) helper, through pkexec unless root.
    static std::shared_ptr<LinuxHelperLauncher> forContext(const PlatformContext& context);
    // The helper next to the running program (../libexec/quillby-helper from its folder), else
    // the one of the build tree; "" when neither exists.
    static std::string findHelper(const PlatformContext& context);

    std::unique_ptr<PrivilegedHelperSession> launch(int& status) override;

  private:
    Options options_;
};

}  // namespace quillby
