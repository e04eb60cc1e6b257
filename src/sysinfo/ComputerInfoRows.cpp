// SPDX-License-Identifier: GPL-3.0-or-later
#include "sysinfo/ComputerInfoRows.h"

#include "core/text/UtilityFunction.h"

namespace quillby {

namespace {

std::string osTypeText(const MachineFacts& facts) {
    if (facts.distribution.empty() || facts.osType.empty()) return facts.osType;
    std::string withDistribution = facts.osType + " (" + facts.distribution + ")";
    return withDistribution.size() < MachineFacts::kOsTypeWidth ? withDistribution : facts.osType;
}

}  // namespace

std::array<ComputerInfoRow, 7> computerInfoRows(const MachineFacts& facts) {
    return {{
        {"model_identifier.png", "Model Identifier:", facts.model},
        {"cpu_vendor.png", "CPU Vendor:", facts.cpuVendor},
        {"cpu_brand.png", "CPU Brand:", facts.cpuBrand},
        {"memory.png", "Memory:", UtilityFunction::formatValue(facts.memorySize, 1024)},
        {"os_type.png", "OS Type:", osTypeText(facts)},
        {"os_rdease.png", "OS Release:", facts.osRelease},
        {"hostname.png", "Hostname:", facts.hostname},
    }};
}

}  // namespace quillby
