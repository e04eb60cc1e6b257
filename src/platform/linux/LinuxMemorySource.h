// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/MemorySource.h"
#include "platform/PlatformContext.h"

namespace quillby {

// Memory figures from <proc>/meminfo and <proc>/vmstat: free is MemFree, active and inactive
// are Active and Inactive, wired is Unevictable + SUnreclaim + KernelStack + PageTables, total
// is the memory installed (`installedMemory`); page-ins and page-outs come from pgpgin and pgpgout
// (KiB), faults from pgfault.
class LinuxMemorySource final : public MemorySource {
  public:
    // `pageSize` multiplies the fault count (the system's page size when 0).
    explicit LinuxMemorySource(PlatformContext context, std::uint64_t pageSize = 0);

    int sample(MemoryCounts& counts) override;

    // "Name:   123 kB" lines (meminfo) or "name 123" lines (vmstat) as name to number.
    static std::map<std::string, std::uint64_t> parseCounters(std::string_view text);

  private:
    PlatformContext context_;
    std::uint64_t pageSize_;
    std::uint64_t installed_ = 0;
};

}  // namespace quillby
