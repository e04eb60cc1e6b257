// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PlatformContext.h"
#include "platform/SystemVersionSource.h"

namespace quillby {

// The running kernel's release ("6.1.0-18-amd64" is 6.1.0), from the proc root's
// sys/kernel/osrelease, else from uname.
class LinuxSystemVersion final : public SystemVersionSource {
  public:
    explicit LinuxSystemVersion(PlatformContext context) : context_(std::move(context)) {}
    bool systemVersion(unsigned& major, unsigned& minor, unsigned& bugFix) override;

    // Reads up to three dot-separated leading numbers; false when the text starts with none.
    static bool parseRelease(std::string_view release, unsigned& major, unsigned& minor,
                             unsigned& bugFix);

  private:
    PlatformContext context_;
};

}  // namespace quillby
