// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/MachineFactsSource.h"

namespace quillby {

// The machine's facts as the "My Computer" page and the log show them. Each text is cut to its
// field's width less one; the widths hold every value Linux reports (uname fields are 65 bytes).
struct MachineFacts {
    static constexpr std::size_t kMachineWidth = 65;
    static constexpr std::size_t kModelWidth = 256;
    static constexpr std::size_t kCpuVendorWidth = 512;
    static constexpr std::size_t kCpuBrandWidth = 512;
    static constexpr std::size_t kOsTypeWidth = 65;
    static constexpr std::size_t kOsReleaseWidth = 65;
    static constexpr std::size_t kHostnameWidth = 512;

    std::string machine;
    std::string model;
    std::string cpuVendor;
    std::string cpuBrand;
    std::string osType;
    std::string osRelease;
    std::string hostname;
    std::uint64_t memorySize = 0;  // bytes
    std::string distribution;      // the distribution's name, shown beside the OS type

    // Reads the facts once through `source` (the installed one when null); an unreadable value
    // stays empty.
    static MachineFacts read(MachineFactsSource* source = nullptr);
    // Keeps at most width - 1 bytes of `text`, never splitting a UTF-8 character.
    static std::string cutToWidth(const std::string& text, std::size_t width);
};

}  // namespace quillby
