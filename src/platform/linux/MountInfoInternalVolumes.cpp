#include "platform/linux/MountInfoInternalVolumes.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// mountinfo writes blanks, tabs, line ends and backslashes in paths as octal escapes.
std::string unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctalDigit(text[i + 1]) &&
            isOctalDigit(text[i + 2]) && isOctalDigit(text[i + 3])) {
            plain.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            plain.push_back(text[i]);
        }
    }
    return plain;
}

bool isDiskFileSystem(const std::string& type) {
    static const std::set<std::string> types{
        "ext2", "ext3",  "ext4", "xfs",   "btrfs",   "f2fs",    "jfs",    "reiserfs",
        "vfat", "exfat", "ntfs", "ntfs3", "fuseblk", "hfsplus", "nilfs2", "bcachefs"};
    return types.count(type) > 0;
}

bool isSystemMount(const fs::path& mountPoint) {
    std::string text = mountPoint.string();
    if (text.starts_with("/run/media/")) return false;
    for (const char* prefix : {"/boot", "/proc", "/sys", "/dev", "/run", "/snap"}) {
        std::string_view p = prefix;
        if (text == p || (text.starts_with(p) && text[p.size()] == '/')) return true;
    }
    return false;
}

std::string readFirstLine(const fs::path& file) {
    std::ifstream input(file);
    std::string line;
    std::getline(input, line);
    return line;
}

}  // namespace

MountInfoInternalVolumes::MountInfoInternalVolumes(PlatformContext context)
    : context_(std::move(context)) {}

bool MountInfoInternalVolumes::isRemovableOrExternal(const std::string& majorMinor) const {
    std::error_code error;
    fs::path device = fs::canonical(context_.sysRoot / "dev/block" / majorMinor, error);
    if (error) return false;
    std::string text = device.string();
    for (const char* bus : {"/usb", "/ieee1394", "/firewire", "/thunderbolt"}) {
        if (text.find(bus) != std::string::npos) return true;
    }
    // A partition's removable flag is its whole disk's, one folder up.
    fs::path disk = fs::exists(device / "partition", error) ? device.parent_path() : device;
    return readFirstLine(disk / "removable") == "1";
}

std::vector<fs::path> MountInfoInternalVolumes::internalVolumeRoots() const {
    std::ifstream input(context_.procRoot / "self/mountinfo");
    std::vector<fs::path> roots;
    std::set<std::string> devicesSeen;
    std::string line;
    while (std::getline(input, line)) {
        std::istringstream fields(line);
        std::string id, parent, majorMinor, root, mountPoint, options, field;
        if (!(fields >> id >> parent >> majorMinor >> root >> mountPoint >> options)) continue;
        while (fields >> field && field != "-") {
        }
        std::string type, source;
        if (!(fields >> type >> source)) continue;
        fs::path point = unescape(mountPoint);
        if (!isDiskFileSystem(type) || unescape(root) != "/") continue;
        if (!source.starts_with("/dev/") || source.starts_with("/dev/loop")) continue;
        if (isSystemMount(point) || !devicesSeen.insert(majorMinor).second) continue;
        if (isRemovableOrExternal(majorMinor)) continue;
        roots.push_back(point);
    }
    return roots;
}
