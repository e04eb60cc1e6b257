#include <gtest/gtest.h>

#include "platform/linux/MountInfoInternalVolumes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A block device in the fixture's /sys: its device folder and the /sys/dev/block link to it.
void blockDevice(const TempDir& dir, const std::string& majorMinor, const std::string& devicePath,
                 bool partition, const std::string& removable) {
    fs::path device = dir / ("sys/devices/" + devicePath);
    fs::create_directories(device);
    if (partition) {
        dir.write("sys/devices/" + devicePath + "/partition", "1\n");
        dir.write("sys/devices/" + fs::path(devicePath).parent_path().string() + "/removable",
                  removable + "\n");
    } else {
        dir.write("sys/devices/" + devicePath + "/removable", removable + "\n");
    }
    fs::create_directories(dir / "sys/dev/block");
    fs::create_directory_symlink(device, dir / ("sys/dev/block/" + majorMinor));
}

}  // namespace

TEST(MountInfoInternalVolumes, KeepsInternalDiskMountsOnly) {
    TempDir dir;
    dir.write("proc/self/mountinfo",
              "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
              "23 22 0:21 / /proc rw shared:2 - proc proc rw\n"
              "24 22 259:3 / /home rw shared:3 - ext4 /dev/nvme0n1p3 rw\n"
              "25 22 259:1 / /boot/efi rw shared:4 - vfat /dev/nvme0n1p1 rw\n"
              "26 22 8:1 / /mnt/data rw shared:5 - xfs /dev/sda1 rw\n"
              "27 22 8:1 /projects /srv/projects rw shared:5 - xfs /dev/sda1 rw\n"
              "28 22 8:1 / /mnt/again rw shared:5 - xfs /dev/sda1 rw\n"
              "29 22 8:17 / /media/stick rw shared:6 - vfat /dev/sdb1 rw\n"
              "30 22 8:33 / /mnt/My\\040Disk rw shared:7 - ext4 /dev/sdc1 rw\n"
              "31 22 7:0 / /snap/core/1 ro shared:8 - squashfs /dev/loop0 ro\n"
              "32 22 0:40 / /mnt/share rw shared:9 - nfs4 server:/export rw\n"
              "33 22 0:30 / /tmp rw shared:10 - tmpfs tmpfs rw\n"
              "34 22 8:49 / /mnt/card rw shared:11 - ext4 /dev/sdd1 rw\n");
    blockDevice(dir, "259:2", "pci0000:00/0000:00:01.0/nvme/nvme0/nvme0n1/nvme0n1p2", true, "0");
    blockDevice(dir, "259:3", "pci0000:00/0000:00:01.0/nvme/nvme0/nvme0n1/nvme0n1p3", true, "0");
    blockDevice(dir, "8:1", "pci0000:00/0000:00:17.0/ata1/host0/block/sda/sda1", true, "0");
    blockDevice(dir, "8:17", "pci0000:00/0000:00:14.0/usb2/2-1/host6/block/sdb/sdb1", true, "0");
    blockDevice(dir, "8:33", "pci0000:00/0000:00:17.0/ata2/host1/block/sdc/sdc1", true, "0");
    blockDevice(dir, "8:49", "pci0000:00/0000:00:1e.0/mmc/block/sdd/sdd1", true, "1");

    MountInfoInternalVolumes volumes(PlatformContext::underRoot(dir.path()));
    EXPECT_EQ(volumes.internalVolumeRoots(),
              (std::vector<fs::path>{"/", "/home", "/mnt/data", "/mnt/My Disk"}));
}
