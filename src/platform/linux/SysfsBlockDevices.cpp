#include "platform/linux/SysfsBlockDevices.h"

#include <fstream>
#include <system_error>

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
    facts.optical = facts.wholeDisk.starts_with("sr") || firstLine(whole / "device/type") == "5";
    facts.backingFile = firstLine(whole / "loop/backing_file");
    facts.diskImage = !facts.backingFile.empty();

    // A mapped or RAID device takes its bus and medium from the devices it is built on.
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
        }
    }
    return facts;
}

bool SysfsBlockDevices::onExternalBus(const fs::path& folder) const {
    std::error_code error;
    fs::path relative = folder.lexically_relative(fs::weakly_canonical(context_.sysRoot, error));
    for (const auto& part : relative) {
        std::string component = part.string();
        if (component.starts_with("usb") || component.find("ieee1394") != std::string::npos ||
            component.find("firewire") != std::string::npos ||
            component.find("thunderbolt") != std::string::npos) {
            return true;
        }
    }
    return false;
}
