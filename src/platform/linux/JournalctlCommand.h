// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/PlatformContext.h"
#include "platform/SystemJournal.h"

namespace quillby {

// The journal through "journalctl --disk-usage". Trimming it needs administrator rights and is
// the privileged helper's ("vacuum-journal").
class JournalctlCommand final : public SystemJournal {
  public:
    explicit JournalctlCommand(PlatformContext context) : context_(std::move(context)) {}

    std::optional<std::uint64_t> diskUsage() override;

    // Bytes of "... take up 1.2G in the file system." (journalctl's 1024-based units); nothing
    // when the text holds no such figure.
    static std::optional<std::uint64_t> parseDiskUsage(const std::string& text);

  private:
    PlatformContext context_;
};

}  // namespace quillby
