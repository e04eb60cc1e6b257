// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/InstalledMemory.h"

#include <fstream>
#include <string>
#include <system_error>

namespace quillby {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

std::uint64_t memoryBlocksSize(const fs::path& folder) {
    std::ifstream sizeFile(folder / "block_size_bytes");
    std::string hex;
    if (!(sizeFile >> hex)) return 0;
    std::uint64_t blockSize = std::strtoull(hex.c_str(), nullptr, 16);
    std::uint64_t blocks = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (name.size() > 6 && name.starts_with("memory") &&
            name.find_first_not_of("0123456789", 6) == std::string::npos) {
            ++blocks;
        }
    }
    return blockSize * blocks;
}

}  // namespace

std::uint64_t installedMemory(const PlatformContext& context, std::uint64_t memTotal) {
    std::uint64_t blocks = memoryBlocksSize(context.sysRoot / "devices/system/memory");
    // The blocks never hold less than the kernel counts; a smaller sum is a partial listing.
    if (blocks >= memTotal && blocks > 0) return blocks;
    return (memTotal + kGiB - 1) / kGiB * kGiB;
}

}  // namespace quillby
