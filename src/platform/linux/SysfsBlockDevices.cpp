// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SysfsBlockDevices.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

namespace quillby {

namespace fs = std::filesystem;

namespace {

// Stacked devices are shallow; a deeper chain can only be a loop in a broken tree.
constexpr int kMaximumStackDepth = 8;

std::string firstLine(const fs::path& file) {
    std::ifstream input(file);
    std::string line;
    std::getline(input, line);
    return line;
}

}  // namespace

std::optional<BlockDeviceFacts> SysfsBlockDevices::describe(unsigned major, unsigned minor) const {
    std::error_code error;
    fs::path link =
        context_.sysRoot / "dev/block" / (std::to_string(major) + ":" + std::to_string(minor));
    fs::path folder = fs::canonical(link, error);
    if (error) return std::nullopt;
    return describeFolder(folder, 0);
}

BlockDeviceFacts SysfsBlockDevices::describeFolder(const fs::path& folder, int depth) const {
    std::error_code error;
    BlockDeviceFacts facts;
    facts.name = folder.filename().string();
    fs::path whole = fs::exists(folder / "partition", error) ? folder.parent_path() : folder;
    facts.wholeDisk = whole.filename().string();

    facts.externalBus = onExternalBus(whole);
    facts.removable = firstLine(whole / "removable") == "1";
    // An SD card in a card slot (an mmcblk disk whose card says "SD"; soldered eMMC says
    // "MMC"), or a disk behind a port the kernel marks as removable (a Thunderbolt or USB4
    // dock, a hot-plug bay), can be taken away like a USB stick.
    bool sdCard = facts.wholeDisk.starts_with("mmcblk") && firstLine(whole / "device/type") == "SD";
    if (sdCard || throughThunderbolt(whole) || behindRemovablePort(whole))
        facts.externalBus = facts.removable = true;
    facts.optical = facts.wholeDisk.starts_with("sr") || firstLine(whole / "device/type") == "5";
    facts.backingFile = firstLine(whole / "loop/backing_file");
    facts.diskImage = !facts.backingFile.empty();

    // A mapped or RAID device takes its bus and medium from the devices it is built on.
    std::vector<BlockDeviceFacts> slaves;
    if (depth < kMaximumStackDepth) {
        for (const auto& slave : fs::directory_iterator(whole / "slaves", error)) {
            fs::path slaveFolder = fs::canonical(slave.path(), error);
            if (error) continue;
            BlockDeviceFacts below = describeFolder(slaveFolder, depth + 1);
            facts.externalBus |= below.externalBus;
            facts.removable |= below.removable;
            facts.optical |= below.optical;
            facts.diskImage |= below.diskImage;
            if (facts.backingFile.empty()) facts.backingFile = below.backingFile;
            slaves.push_back(std::move(below));
        }
    }
    // cryptsetup names its mappings "CRYPT-<type>-..."; locking one needs the device under it,
    // and letting go of the medium needs that device's disk.
    if (slaves.size() == 1 && firstLine(whole / "dm/uuid").starts_with("CRYPT-")) {
        facts.encryptedDevice = slaves.front().name;
        facts.wholeDisk = slaves.front().wholeDisk;
    }
    return facts;
}

bool SysfsBlockDevices::anyPathComponent(
    const fs::path& folder, const std::function<bool(const std::string&)>& test) const {
    std::error_code error;
    fs::path relative = folder.lexically_relative(fs::weakly_canonical(context_.sysRoot, error));
    for (const auto& part : relative) {
        if (test(part.string())) return true;
    }
    return false;
}

bool SysfsBlockDevices::onExternalBus(const fs::path& folder) const {
    return anyPathComponent(folder, [](const std::string& component) {
        return component.starts_with("usb") || component.find("ieee1394") != std::string::npos ||
               component.find("firewire") != std::string::npos || isThunderbolt(component);
    });
}

bool SysfsBlockDevices::throughThunderbolt(const fs::path& folder) const {
    return anyPathComponent(folder, isThunderbolt);
}

bool SysfsBlockDevices::isThunderbolt(const std::string& component) {
    // Thunderbolt and USB4 hosts name their device trees "domain0", "domain1", ...
    bool domain = component.size() > 6 && component.starts_with("domain") &&
                  std::all_of(component.begin() + 6, component.end(),
                              [](char c) { return c >= '0' && c <= '9'; });
    return domain || component.find("thunderbolt") != std::string::npos;
}

bool SysfsBlockDevices::behindRemovablePort(const fs::path& folder) const {
    // Devices (PCI, USB) say "removable" in their own `removable` attribute when they sit
    // behind an external-facing port; block devices use "0"/"1" there instead.
    std::error_code error;
    fs::path top = fs::weakly_canonical(context_.sysRoot, error);
    for (fs::path at = folder; at != top && at.has_relative_path() && at != at.parent_path();
         at = at.parent_path()) {
        if (firstLine(at / "removable") == "removable") return true;
    }
    return false;
}

}  // namespace quillby
