// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/linux/LinuxVolumeSource.h"
#include "platform/linux/MountInfo.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The block folder of the USB stick's host, and the internal NVMe disk.
const std::string usbHost =
    "devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/";
const std::string nvmeDisk = "devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1";

// A machine's mount table, /sys and /dev/disk/by-label under a temporary root.
class MachineFixture {
  public:
    MachineFixture() : context_(PlatformContext::underRoot(root_.path())) {}

    // A block device: its folder under sys/devices, the dev/block link to it and its attributes.
    fs::path blockDevice(const std::string& numbers, const std::string& devicePath,
                         std::map<std::string, std::string> attributes = {}) {
        fs::path folder = context_.sysRoot / devicePath;
        fs::create_directories(folder);
        for (const auto& [name, value] : attributes) write(folder / name, value + "\n");
        fs::create_directories(context_.sysRoot / "dev/block");
        fs::create_symlink(folder, context_.sysRoot / "dev/block" / numbers);
        return folder;
    }
    // A block device that is a partition.
    fs::path partition(const std::string& numbers, const std::string& devicePath) {
        fs::path folder = blockDevice(numbers, devicePath);
        write(folder / "partition", "1\n");
        return folder;
    }
    void write(const fs::path& file, const std::string& text) {
        root_.write(file.lexically_relative(root_.path()), text);
    }
    void slave(const fs::path& mapped, const fs::path& below) {
        fs::create_directories(mapped / "slaves");
        fs::create_symlink(below, mapped / "slaves" / below.filename());
    }
    // sdb1 (8:17), a partition of a USB stick.
    void usbStickPartition() { partition("8:17", usbHost + "sdb/sdb1"); }
    void label(const std::string& escapedName, const std::string& device) {
        fs::create_directories(context_.devRoot / "disk/by-label");
        fs::create_symlink("../../" + device, context_.devRoot / "disk/by-label" / escapedName);
    }
    void size(const std::string& mountPoint, std::uint64_t total, std::uint64_t free) {
        sizes_[mountPoint] = VolumeSpace{total, free};
    }
    std::vector<VolumeFacts> volumes(const std::string& mountinfo) {
        root_.write("proc/self/mountinfo", mountinfo);
        auto sizes = sizes_;
        LinuxVolumeSource source(context_, [sizes](const std::string& mountPoint) {
            auto it = sizes.find(mountPoint);
            return it == sizes.end() ? std::optional<VolumeSpace>(VolumeSpace{1000, 500})
                                     : std::optional<VolumeSpace>(it->second);
        });
        return source.mountedVolumes();
    }

    const TempDir& root() const { return root_; }
    const PlatformContext& context() const { return context_; }

  private:
    TempDir root_;
    PlatformContext context_;
    std::map<std::string, VolumeSpace> sizes_;
};

const VolumeFacts* findByRoot(const std::vector<VolumeFacts>& volumes, const std::string& root) {
    for (const auto& volume : volumes) {
        if (volume.rootPath == root) return &volume;
    }
    return nullptr;
}

}  // namespace

TEST(MountInfo, DecodesEscapesAndSkipsMalformedLines) {
    auto entries = parseMountInfo(
        "26 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
        "garbage line\n"
        "90 26 8:18 /sub\\134dir /media/a\\040b\\011c rw master:3 propagate_from:2 - vfat "
        "/dev/sdb2 rw\n"
        "91 26 8:19 / /x rw\n");  // no separator: malformed
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].mountId, 26);
    EXPECT_EQ(entries[0].major, 259u);
    EXPECT_EQ(entries[0].minor, 2u);
    EXPECT_EQ(entries[1].root, "/sub\\dir");
    EXPECT_EQ(entries[1].mountPoint, "/media/a b\tc");
    EXPECT_EQ(entries[1].fileSystemType, "vfat");
    EXPECT_EQ(entries[1].source, "/dev/sdb2");
    EXPECT_EQ(decodeMountField("end\\04"), "end\\04");  // a cut escape stays as written
}

TEST(LinuxVolumeSource, ClassifiesEveryKindOfMount) {
    MachineFixture machine;
    machine.partition("259:2", nvmeDisk + "/nvme0n1p2");
    machine.blockDevice("259:1", nvmeDisk + "/nvme0n1p1");
    machine.usbStickPartition();
    machine.partition("8:18", usbHost + "sdb/sdb2");
    machine.label("MY\\x20STICK", "sdb1");
    machine.blockDevice("8:0", usbHost + "sdb", {{"removable", "1"}});
    // A USB disk (not removable) behind device-mapper.
    fs::path usbDisk = machine.partition("8:33",
                                         "devices/pci0000:00/0000:00:14.0/usb3/3-2/3-2:1.0/host7/"
                                         "target7:0:0/7:0:0:0/block/sdc/sdc1");
    fs::path mapped = machine.blockDevice("254:3", "devices/virtual/block/dm-3");
    machine.slave(mapped, usbDisk);
    machine.blockDevice("11:0",
                        "devices/pci0000:00/0000:00:17.0/ata3/host2/target2:0:0/2:0:0:0/block/sr0",
                        {{"removable", "1"}, {"device/type", "5"}});
    machine.blockDevice("7:0", "devices/virtual/block/loop0",
                        {{"loop/backing_file", "/home/user/disk image.img"}});
    machine.blockDevice("7:1", "devices/virtual/block/loop1",
                        {{"loop/backing_file", "/var/lib/snapd/snaps/core_123.snap"}});
    machine.blockDevice("7:2", "devices/virtual/block/loop2",
                        {{"loop/backing_file", "/home/user/apps/tool_9.snap"}});
    machine.size("/media/user/empty", 0, 0);

    auto volumes = machine.volumes(
        "21 26 0:20 / /proc rw - proc proc rw\n"
        "22 26 0:21 / /sys rw - sysfs sysfs rw\n"
        "26 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n"
        "27 26 259:1 / /boot/efi rw - vfat /dev/nvme0n1p1 rw\n"
        "30 22 0:27 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
        "31 26 0:30 / /tmp rw - tmpfs tmpfs rw\n"
        "32 26 0:31 / /mnt/cgroup rw - cgroup cgroup rw,cpu\n"
        // The bind of a folder comes first in the table; the mount of the whole file system wins.
        "39 26 8:17 /photos /home/user/photos rw - vfat /dev/sdb1 rw\n"
        "40 26 8:17 / /run/media/user/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
        "41 26 8:18 / /media/user/Second\\040Part rw - ext4 /dev/sdb2 rw\n"
        "42 26 254:3 / /media/user/secure rw - ext4 /dev/mapper/luks-1 rw\n"
        "43 26 11:0 / /media/user/DVD rw - iso9660 /dev/sr0 ro\n"
        "44 26 0:55 / /mnt/nfs rw - nfs4 server:/export rw\n"
        "45 26 0:56 / /mnt/share rw - cifs //server/share rw\n"
        "46 26 7:0 / /media/user/image rw - ext4 /dev/loop0 rw\n"
        "47 26 7:1 / /snap/core/123 ro - squashfs /dev/loop1 ro\n"
        "48 26 7:2 / /opt/tool ro - squashfs /dev/loop2 ro\n"
        "49 26 259:2 /home/user/src /mnt/bind rw - ext4 /dev/nvme0n1p2 rw\n"
        "50 26 0:57 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
        "51 26 8:17 / /run/media/user/again rw - vfat /dev/sdb1 rw\n"
        "52 26 0:58 / /media/user/empty rw - nfs server:/empty rw\n");

    struct Expected {
        const char* root;
        std::int32_t ref;
        const char* name;
        bool network, external, removable, ejectable, optical;
    };
    const Expected expected[] = {
        {"/", 26, "/", false, false, false, false, false},
        {"/run/media/user/MY STICK", 40, "MY STICK", false, true, true, true, false},
        {"/media/user/Second Part", 41, "Second Part", false, true, true, true, false},
        {"/media/user/secure", 42, "secure", false, true, false, false, false},
        {"/media/user/DVD", 43, "DVD", false, false, true, true, true},
        {"/mnt/nfs", 44, "nfs", true, false, false, false, false},
        {"/mnt/share", 45, "share", true, false, false, false, false},
        {"/media/user/image", 46, "image", false, false, true, true, false},
    };
    ASSERT_EQ(volumes.size(), std::size(expected));
    for (size_t i = 0; i < volumes.size(); ++i) {
        SCOPED_TRACE(expected[i].root);
        const VolumeFacts& volume = volumes[i];
        EXPECT_EQ(volume.rootPath, expected[i].root);  // mount-table order is kept
        EXPECT_EQ(volume.referenceNumber, expected[i].ref);
        EXPECT_EQ(volume.name, expected[i].name);
        EXPECT_EQ(volume.network, expected[i].network);
        EXPECT_EQ(volume.externalBus, expected[i].external);
        EXPECT_EQ(volume.removable, expected[i].removable);
        EXPECT_EQ(volume.ejectable, expected[i].ejectable);
        EXPECT_EQ(volume.optical, expected[i].optical);
    }
    EXPECT_EQ(findByRoot(volumes, "/")->deviceName, "nvme0n1p2");
    EXPECT_EQ(findByRoot(volumes, "/run/media/user/MY STICK")->wholeDiskName, "sdb");
    EXPECT_EQ(findByRoot(volumes, "/media/user/secure")->deviceName, "dm-3");
    EXPECT_EQ(findByRoot(volumes, "/media/user/image")->wholeDiskName, "loop0");
}

TEST(LinuxVolumeSource, FuseMountsOfProgramsAreNotVolumesFuseNetworkStorageIs) {
    MachineFixture machine;
    machine.usbStickPartition();
    auto volumes = machine.volumes(
        "26 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n"
        "80 26 0:70 / /tmp/.mount_Kritaa1B2c3 ro - fuse.Krita-x86_64.AppImage Krita rw\n"
        "81 26 0:71 / /home/user/.var/doc rw - fuse.portal portal rw\n"
        "82 26 0:72 / /home/user/.gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
        "83 26 0:73 / /home/user/mirror rw - fuse.bindfs /srv/data rw\n"
        "84 26 0:74 / /home/user/archive rw - fuse archivemount rw\n"
        "85 26 0:75 / /home/user/server rw - fuse.sshfs user@host: rw\n"
        // Mount IDs above 16 bits stay distinct: 4464 is 70000 - 65536.
        "4464 26 0:76 / /home/user/cloud rw - fuse.rclone drive: rw\n"
        "70000 26 0:77 / /mnt/bucket rw - fuse.s3fs s3fs rw\n"
        "88 26 8:17 / /media/user/WINDISK rw - fuseblk /dev/sdb1 rw\n");
    std::vector<std::string> roots;
    for (const auto& volume : volumes) roots.push_back(volume.rootPath);
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home/user/server", "/home/user/cloud",
                                               "/mnt/bucket", "/media/user/WINDISK"}));
    EXPECT_TRUE(findByRoot(volumes, "/mnt/bucket")->network);
    EXPECT_EQ(findByRoot(volumes, "/mnt/bucket")->referenceNumber, 70000);
    EXPECT_EQ(findByRoot(volumes, "/home/user/cloud")->referenceNumber, 4464);
    EXPECT_FALSE(findByRoot(volumes, "/media/user/WINDISK")->network);
    EXPECT_TRUE(findByRoot(volumes, "/media/user/WINDISK")->externalBus);
}

TEST(LinuxVolumeSource, SdCardsAndThunderboltDisksAreExternalAndEjectable) {
    MachineFixture machine;
    const std::string slot = "devices/pci0000:00/0000:00:14.5/mmc_host/mmc0/mmc0:aaaa/block/";
    machine.partition("179:1", slot + "mmcblk0/mmcblk0p1");
    machine.blockDevice("179:0", slot + "mmcblk0", {{"device/type", "SD"}});
    const std::string soldered = "devices/platform/soc/mmc_host/mmc1/mmc1:0001/block/";
    machine.partition("179:33", soldered + "mmcblk1/mmcblk1p1");
    machine.blockDevice("179:32", soldered + "mmcblk1", {{"device/type", "MMC"}});
    // A disk in a Thunderbolt dock: its PCI device sits behind an external-facing port.
    const std::string dock = "devices/pci0000:00/0000:00:07.0/0000:3a:00.0";
    machine.partition("259:5", dock + "/nvme/nvme1/nvme1n1/nvme1n1p1");
    machine.write(machine.context().sysRoot / dock / "removable", "removable\n");
    machine.blockDevice("259:8", "devices/pci0000:00/0000:00:0d.2/domain0/0-0/0-1/block/sdd/sdd1");
    // An internal disk on a fixed port stays local.
    machine.blockDevice("259:9", nvmeDisk, {{"removable", "0"}});

    auto volumes = machine.volumes(
        "90 1 179:1 / /media/user/CARD rw - exfat /dev/mmcblk0p1 rw\n"
        "91 1 179:33 / /home rw - ext4 /dev/mmcblk1p1 rw\n"
        "92 1 259:5 / /media/user/DOCK rw - ext4 /dev/nvme1n1p1 rw\n"
        "93 1 259:8 / /media/user/USB4 rw - ext4 /dev/sdd1 rw\n"
        "94 1 259:9 / /data rw - ext4 /dev/nvme0n1 rw\n");
    ASSERT_EQ(volumes.size(), 5u);
    for (const char* root : {"/media/user/CARD", "/media/user/DOCK", "/media/user/USB4"}) {
        SCOPED_TRACE(root);
        EXPECT_TRUE(findByRoot(volumes, root)->externalBus);
        EXPECT_TRUE(findByRoot(volumes, root)->ejectable);
    }
    for (const char* root : {"/home", "/data"}) {
        SCOPED_TRACE(root);
        EXPECT_FALSE(findByRoot(volumes, root)->externalBus);
        EXPECT_FALSE(findByRoot(volumes, root)->ejectable);
    }
}

// An unlocked encrypted disk (dm-crypt) is as ejectable as the disk under it, and names the
// device to lock and the disk to power off; other mappings name neither.
TEST(LinuxVolumeSource, AnUnlockedEncryptedDiskTakesItsDriveFromTheDeviceUnderIt) {
    MachineFixture machine;
    const std::string crypt = "CRYPT-LUKS2-0a1b2c-luks-0a1b2c";
    machine.blockDevice("8:16", usbHost + "sdb", {{"removable", "1"}});
    fs::path stick = machine.partition("8:17", usbHost + "sdb/sdb1");
    machine.slave(machine.blockDevice("254:0", "devices/virtual/block/dm-0", {{"dm/uuid", crypt}}),
                  stick);
    fs::path internal = machine.partition("259:3", nvmeDisk + "/nvme0n1p3");
    machine.slave(machine.blockDevice("254:1", "devices/virtual/block/dm-1", {{"dm/uuid", crypt}}),
                  internal);
    machine.slave(
        machine.blockDevice("254:2", "devices/virtual/block/dm-2", {{"dm/uuid", "LVM-abcdef"}}),
        stick);

    auto volumes = machine.volumes(
        "40 1 254:0 / /media/user/SECRET rw - ext4 /dev/mapper/luks-0a1b2c rw\n"
        "41 1 254:1 / /home rw - ext4 /dev/mapper/luks-home rw\n"
        "42 1 254:2 / /media/user/lvm rw - ext4 /dev/mapper/vg-data rw\n");
    const struct {
        const char* root;
        bool external, ejectable;
        const char* encrypted;
        const char* wholeDisk;
    } expected[] = {
        {"/media/user/SECRET", true, true, "sdb1", "sdb"},
        {"/home", false, false, "nvme0n1p3", "nvme0n1"},
        {"/media/user/lvm", true, true, "", "dm-2"},
    };
    ASSERT_EQ(volumes.size(), std::size(expected));
    for (const auto& want : expected) {
        SCOPED_TRACE(want.root);
        const VolumeFacts* volume = findByRoot(volumes, want.root);
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->externalBus, want.external);
        EXPECT_EQ(volume->ejectable, want.ejectable);
        EXPECT_EQ(volume->encryptedDeviceName, want.encrypted);
        EXPECT_EQ(volume->wholeDiskName, want.wholeDisk);
    }
}

// Slow file systems (network storage, FUSE) are asked together with one deadline, never twice
// at once: one that does not answer, or whose answer failed, keeps its last figures, marked
// stale, and a server still busy with the last question is not asked again.
TEST(LinuxVolumeSource, SlowMountsAreAskedOnceAtATimeAndKeepTheirLastFiguresStale) {
    MachineFixture machine;
    machine.root().write("proc/self/mountinfo",
                         "26 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n"
                         "85 26 0:75 / /mnt/nfs rw - nfs4 server:/export rw\n"
                         "88 26 0:80 / /media/user/WINDISK rw - fuseblk /dev/sdb1 rw\n");
    // Shared with the measuring threads, which may end after the test.
    struct Servers {
        std::mutex mutex;
        std::condition_variable released;
        std::map<std::string, std::string> mode;  // "" answers, "hang" until released, "fail"
        std::map<std::string, int> asked;
        std::uint64_t free = 500;
    };
    auto servers = std::make_shared<Servers>();
    LinuxVolumeSource source(machine.context(), [servers](const std::string& mountPoint) {
        std::unique_lock lock(servers->mutex);
        ++servers->asked[mountPoint];
        std::string mode = servers->mode[mountPoint];
        servers->released.wait(lock, [&] { return servers->mode[mountPoint] != "hang"; });
        if (mode == "fail") return std::optional<VolumeSpace>();
        return std::optional<VolumeSpace>(VolumeSpace{1000, servers->free});
    });
    auto enumerate = [&](const char* nfs, const char* fuse) {
        {
            std::lock_guard lock(servers->mutex);
            servers->mode["/mnt/nfs"] = nfs;
            servers->mode["/media/user/WINDISK"] = fuse;
            servers->free -= 100;
        }
        auto volumes = source.mountedVolumes();
        std::vector<std::string> seen;
        for (const auto& volume : volumes) {
            seen.push_back(volume.rootPath + " " + std::to_string(volume.freeBytes) +
                           (volume.stale ? " stale" : ""));
        }
        std::lock_guard lock(servers->mutex);
        seen.push_back(std::to_string(servers->asked["/mnt/nfs"]) + "," +
                       std::to_string(servers->asked["/media/user/WINDISK"]));
        return seen;
    };
    using Seen = std::vector<std::string>;
    EXPECT_EQ(enumerate("", ""), (Seen{"/ 400", "/mnt/nfs 400", "/media/user/WINDISK 400", "1,1"}));
    EXPECT_EQ(enumerate("hang", "fail"),
              (Seen{"/ 300", "/mnt/nfs 400 stale", "/media/user/WINDISK 400 stale", "2,2"}));
    // The server still has the last question: only the FUSE program is asked again.
    EXPECT_EQ(enumerate("hang", ""),
              (Seen{"/ 200", "/mnt/nfs 400 stale", "/media/user/WINDISK 200", "2,3"}));
    {
        std::lock_guard lock(servers->mutex);
        servers->mode["/mnt/nfs"] = "";
        servers->released.notify_all();
    }
}
