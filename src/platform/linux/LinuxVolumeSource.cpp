// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxVolumeSource.h"

#include <sys/statvfs.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <system_error>

#include "core/events/Log.h"
#include "core/fs/PathRules.h"
#include "platform/linux/BoundedSpaceQuery.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

// Network file systems, FUSE ones included: their storage is on another machine.
constexpr std::array<std::string_view, 20> kNetworkTypes = {
    "nfs",           "nfs4",           "cifs",
    "smb3",          "smbfs",          "9p",
    "ceph",          "glusterfs",      "davfs",
    "fuse.sshfs",    "fuse.rclone",    "fuse.s3fs",
    "fuse.gcsfuse",  "fuse.goofys",    "fuse.curlftpfs",
    "fuse.smbnetfs", "fuse.ceph-fuse", "fuse.glusterfs",
    "fuse.davfs",    "fuse.webdavfs"};

// File systems that hold no user data of their own.
constexpr std::array<std::string_view, 32> kPseudoTypes = {"autofs",        "binfmt_misc",
                                                           "bpf",           "cgroup",
                                                           "cgroup2",       "configfs",
                                                           "debugfs",       "devpts",
                                                           "devtmpfs",      "efivarfs",
                                                           "fuse.lxcfs",    "fuse.portal",
                                                           "fusectl",       "fuse.gvfsd-fuse",
                                                           "fuse.snapfuse", "fuse.squashfuse",
                                                           "hugetlbfs",     "mqueue",
                                                           "nsfs",          "overlay",
                                                           "proc",          "pstore",
                                                           "ramfs",         "rpc_pipefs",
                                                           "securityfs",    "selinuxfs",
                                                           "sysfs",         "tmpfs",
                                                           "tracefs",       "aufs",
                                                           "nfsd",          "none"};

constexpr std::array<std::string_view, 6> kSystemFolders = {"/proc", "/sys",  "/dev",
                                                            "/run",  "/boot", "/snap"};

bool isUnder(std::string_view path, std::string_view folder) {
    return path == folder || liesInside(path, folder);
}

bool contains(const auto& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// A FUSE file system served by a program; "fuseblk" (a disk read through FUSE) is one too.
bool isFuseType(std::string_view type) {
    return type == "fuse" || type == "fuseblk" || type.starts_with("fuse.");
}

// udev writes bytes it does not keep in a link name as "\xNN".
std::string decodeUdevName(std::string_view name) {
    std::string text;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            text.push_back(
                static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16)));
            i += 3;
        } else {
            text.push_back(name[i]);
        }
    }
    return text;
}

std::string lastComponent(const std::string& mountPoint) {
    if (mountPoint == "/") return "/";
    std::string_view path = mountPoint;
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Which of several mounts of one file system stands for it: the one at "/", else the one that
// shows all of it, else the first.
int preference(const MountEntry& entry) {
    if (entry.mountPoint == "/") return 2;
    return entry.root == "/" ? 1 : 0;
}

}  // namespace

LinuxVolumeSource::LinuxVolumeSource(PlatformContext context, SpaceQuery space)
    : context_(std::move(context)), devices_(context_), space_(std::move(space)) {
    if (!space_) space_ = measureWithStatvfs;
    networkSpace_ = std::make_shared<BoundedSpaceQuery>(space_);
}

bool LinuxVolumeSource::isNetworkType(const std::string& fileSystemType) {
    return contains(kNetworkTypes, fileSystemType);
}

std::optional<VolumeSpace> LinuxVolumeSource::measureWithStatvfs(const std::string& mountPoint) {
    struct statvfs info {};
    if (::statvfs(mountPoint.c_str(), &info) != 0) {
        QWLog("statvfs %s failed: %s", mountPoint.c_str(), std::strerror(errno));
        return std::nullopt;
    }
    std::uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
    return VolumeSpace{static_cast<std::uint64_t>(info.f_blocks) * unit,
                       static_cast<std::uint64_t>(info.f_bavail) * unit};
}

std::vector<VolumeFacts> LinuxVolumeSource::mountedVolumes() {
    std::ifstream input(context_.procRoot / "self/mountinfo");
    if (!input) {
        QWLog("Cannot read %s", (context_.procRoot / "self/mountinfo").c_str());
        return {};
    }
    std::stringstream text;
    text << input.rdbuf();
    return volumesOf(parseMountInfo(text.str()));
}

bool LinuxVolumeSource::isHidden(const MountEntry& entry,
                                 const std::optional<BlockDeviceFacts>& device) const {
    if (contains(kPseudoTypes, entry.fileSystemType) && entry.mountPoint != "/") return true;
    // A FUSE mount that is neither a disk nor network storage belongs to a program (a running
    // AppImage, the document portal, gvfs, an archive or bind helper): not a volume.
    if (isFuseType(entry.fileSystemType) && entry.fileSystemType != "fuseblk" &&
        !isNetworkType(entry.fileSystemType)) {
        return true;
    }
    const std::string& path = entry.mountPoint;
    if (!isUnder(path, "/run/media")) {
        for (auto folder : kSystemFolders) {
            if (isUnder(path, folder)) return true;
        }
    }
    // Snap packages are squashfs images of their own; they are software, not disks.
    if (entry.fileSystemType == "squashfs" && device &&
        (device->backingFile.ends_with(".snap") ||
         device->backingFile.find("/snapd/") != std::string::npos)) {
        return true;
    }
    return false;
}

std::string LinuxVolumeSource::labelOf(const std::string& deviceName) const {
    if (deviceName.empty()) return {};
    std::error_code error;
    for (const auto& link : fs::directory_iterator(context_.devRoot / "disk/by-label", error)) {
        fs::path target = fs::read_symlink(link.path(), error);
        if (!error && target.filename() == deviceName) {
            return decodeUdevName(link.path().filename().string());
        }
    }
    return {};
}

std::vector<VolumeFacts> LinuxVolumeSource::volumesOf(const std::vector<MountEntry>& entries) {
    // One mount per file system: later mounts of the same device are binds or repeats.
    std::map<std::pair<unsigned, unsigned>, size_t> chosen;
    for (size_t i = 0; i < entries.size(); ++i) {
        auto key = std::make_pair(entries[i].major, entries[i].minor);
        auto [it, added] = chosen.emplace(key, i);
        if (!added && preference(entries[i]) > preference(entries[it->second])) it->second = i;
    }

    struct Candidate {
        const MountEntry* entry;
        bool network;
        std::optional<BlockDeviceFacts> device;
    };
    std::vector<Candidate> candidates;
    std::vector<std::string> slowMountPoints;
    for (size_t i = 0; i < entries.size(); ++i) {
        const MountEntry& entry = entries[i];
        if (chosen[{entry.major, entry.minor}] != i) continue;
        bool network = isNetworkType(entry.fileSystemType);
        std::optional<BlockDeviceFacts> device;
        if (!network) device = devices_.describe(entry.major, entry.minor);
        if (isHidden(entry, device)) continue;
        // A dead server or a hung FUSE program must not stall the enumeration: those are asked
        // all at once, with one deadline.
        if (network || isFuseType(entry.fileSystemType))
            slowMountPoints.push_back(entry.mountPoint);
        candidates.push_back({&entry, network, std::move(device)});
    }
    auto slowSpace = slowMountPoints.empty() ? std::map<std::string, std::optional<VolumeSpace>>{}
                                             : (*networkSpace_)(slowMountPoints, kNetworkDeadline);

    std::vector<VolumeFacts> volumes;
    for (const auto& [entryPointer, network, device] : candidates) {
        const MountEntry& entry = *entryPointer;
        auto slow = slowSpace.find(entry.mountPoint);
        auto space = slow != slowSpace.end() ? slow->second : space_(entry.mountPoint);
        if (!space || space->totalBytes == 0) continue;

        VolumeFacts volume;
        volume.referenceNumber = entry.mountId;
        volume.rootPath = entry.mountPoint;
        volume.devicePath = entry.source;
        volume.fileSystemType = entry.fileSystemType;
        volume.totalBytes = space->totalBytes;
        volume.freeBytes = std::min(space->freeBytes, space->totalBytes);
        volume.stale = space->stale;
        volume.network = network;
        if (device) {
            volume.deviceName = device->name;
            volume.wholeDiskName = device->wholeDisk;
            volume.encryptedDeviceName = device->encryptedDevice;
            volume.externalBus = device->externalBus;
            volume.optical = device->optical;
            volume.removable = device->removable || device->diskImage;
            volume.ejectable = volume.removable || volume.optical;
        } else {
            volume.deviceName = entry.source;
        }
        std::string label = device ? labelOf(device->name) : std::string();
        volume.name = label.empty() ? lastComponent(entry.mountPoint) : label;
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

}  // namespace quillby
