// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quillby {

// The machine's hardware and system facts as the platform reports them; a value that cannot be
// read stays empty (0 for the memory size).
struct PlatformMachineFacts {
    std::string machine;       // processor architecture ("x86_64")
    std::string model;         // maker and product name of the machine
    std::string cpuVendor;     // "GenuineIntel"
    std::string cpuBrand;      // "Intel(R) Core(TM) i7-8565U CPU @ 1.80GHz"
    std::string osType;        // "Linux"
    std::string osRelease;     // the kernel release
    std::string distribution;  // "Debian GNU/Linux 12 (bookworm)"
    std::string hostname;
    std::uint64_t memorySize = 0;  // physical memory in bytes
};

class MachineFactsSource {
  public:
    virtual ~MachineFactsSource() = default;
    virtual PlatformMachineFacts machineFacts() = 0;
};

}  // namespace quillby
