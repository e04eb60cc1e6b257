// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace quillby {

// The systemd journal of the machine, as journalctl reports it.
class SystemJournal {
  public:
    virtual ~SystemJournal() = default;

    // The bytes the archived and active journal files take; nothing when journalctl is missing
    // or gives no figure.
    virtual std::optional<std::uint64_t> diskUsage() = 0;
};

}  // namespace quillby
