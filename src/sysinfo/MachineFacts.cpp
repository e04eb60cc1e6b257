// SPDX-License-Identifier: GPL-3.0-or-later
#include "sysinfo/MachineFacts.h"

#include "platform/Services.h"

namespace quillby {

std::string MachineFacts::cutToWidth(const std::string& text, std::size_t width) {
    if (width == 0) return {};
    if (text.size() < width) return text;
    std::size_t length = width - 1;
    // Step back over continuation bytes so the cut falls between characters.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return text.substr(0, length);
}

MachineFacts MachineFacts::read(MachineFactsSource* source) {
    std::shared_ptr<MachineFactsSource> installed;
    if (!source) {
        installed = Services::get<MachineFactsSource>();
        source = installed.get();
    }
    MachineFacts facts;
    if (!source) return facts;
    PlatformMachineFacts raw = source->machineFacts();
    facts.machine = cutToWidth(raw.machine, kMachineWidth);
    facts.model = cutToWidth(raw.model, kModelWidth);
    facts.cpuVendor = cutToWidth(raw.cpuVendor, kCpuVendorWidth);
    facts.cpuBrand = cutToWidth(raw.cpuBrand, kCpuBrandWidth);
    facts.osType = cutToWidth(raw.osType, kOsTypeWidth);
    facts.osRelease = cutToWidth(raw.osRelease, kOsReleaseWidth);
    facts.hostname = cutToWidth(raw.hostname, kHostnameWidth);
    facts.memorySize = raw.memorySize;
    facts.distribution = raw.distribution;
    return facts;
}

}  // namespace quillby
