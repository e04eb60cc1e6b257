// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "core/fs/FileURL.h"
#include "platform/linux/InstalledMemory.h"
#include "platform/linux/LinuxFileViewer.h"
#include "platform/linux/LinuxMachineFacts.h"
#include "platform/linux/LinuxMemorySource.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "platform/linux/LinuxVolumeEjector.h"
#include "platform/linux/UDisks2Client.h"
#include "support/RecordingTool.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

VolumeFacts usbStick() {
    VolumeFacts stick;
    stick.referenceNumber = 40;
    stick.rootPath = "/media/user/-stick; rm -rf x";
    stick.devicePath = "/dev/sdb1";
    stick.deviceName = "sdb1";
    stick.wholeDiskName = "sdb";
    stick.externalBus = stick.removable = stick.ejectable = true;
    return stick;
}

// An unlocked LUKS stick: dm-0 mapped from sdb1, a partition of sdb.
VolumeFacts encryptedStick() {
    VolumeFacts stick = usbStick();
    stick.devicePath = "/dev/mapper/luks-1";
    stick.deviceName = "dm-0";
    stick.encryptedDeviceName = "sdb1";
    return stick;
}

// The UDisks2 daemon as a table: object properties and refused methods, keyed by the last part
// of the object path; every method call is recorded as "object Method".
struct FakeUDisks2 : UDisks2Bus {
    std::map<std::string, std::string> objects;   // "object Property" -> object path
    std::set<std::string> trueFlags;              // "object Property"
    std::map<std::string, std::string> refusals;  // "object Method" -> the daemon's words
    std::vector<std::string> calls;

    static std::string key(const std::string& object, const std::string& member) {
        return object.substr(object.rfind('/') + 1) + " " + member;
    }
    int call(const std::string& object, const std::string&, const std::string& method,
             std::string& reason) override {
        calls.push_back(key(object, method));
        auto refusal = refusals.find(calls.back());
        if (refusal == refusals.end()) return 0;
        reason = refusal->second;
        return EBUSY;
    }
    bool booleanProperty(const std::string& object, const std::string&,
                         const std::string& name) override {
        return trueFlags.count(key(object, name)) > 0;
    }
    std::string objectProperty(const std::string& object, const std::string&,
                               const std::string& name) override {
        auto found = objects.find(key(object, name));
        return found == objects.end() ? std::string() : found->second;
    }
};

// dm-0 (cleartext) over sdb1 (encrypted) on the drive "Stick"; sdb2 a plain partition of it.
std::shared_ptr<FakeUDisks2> stickOnTheBus(std::set<std::string> driveFlags,
                                           std::map<std::string, std::string> refusals) {
    auto bus = std::make_shared<FakeUDisks2>();
    bus->objects = {{"dm_2d0 CryptoBackingDevice", UDisks2Client::blockObjectPath("sdb1")},
                    {"sdb1 Drive", "/org/freedesktop/UDisks2/drives/Stick"},
                    {"sdb2 Drive", "/org/freedesktop/UDisks2/drives/Stick"}};
    for (const auto& flag : driveFlags) bus->trueFlags.insert("Stick " + flag);
    bus->refusals = std::move(refusals);
    return bus;
}

}  // namespace

TEST(UDisks2Client, EjectsAnUnlockedDiskByUnmountingLockingAndPoweringOffInThatOrder) {
    using Calls = std::vector<std::string>;
    const struct {
        const char* what;
        const char* device;
        std::set<std::string> driveFlags;
        std::map<std::string, std::string> refusals;
        Calls calls;
        bool unmounted;
        const char* reason;  // empty: succeeded
    } cases[] = {
        {"encrypted",
         "dm-0",
         {"CanPowerOff", "Ejectable"},
         {},
         Calls{"dm_2d0 Unmount", "sdb1 Lock", "Stick PowerOff"},
         true,
         ""},
        {"lock refused: the drive stays on",
         "dm-0",
         {"CanPowerOff"},
         {{"sdb1 Lock", "Device is busy"}},
         Calls{"dm_2d0 Unmount", "sdb1 Lock"},
         true,
         "the file system is unmounted, but the encrypted disk could not be locked: Device is "
         "busy"},
        {"power-off refused: eject instead",
         "dm-0",
         {"CanPowerOff", "Ejectable"},
         {{"Stick PowerOff", "Not authorized"}},
         Calls{"dm_2d0 Unmount", "sdb1 Lock", "Stick PowerOff", "Stick Eject"},
         true,
         ""},
        {"power-off refused, no eject",
         "dm-0",
         {"CanPowerOff"},
         {{"Stick PowerOff", "Not authorized"}},
         Calls{"dm_2d0 Unmount", "sdb1 Lock", "Stick PowerOff"},
         true,
         "the encrypted disk is locked, but the drive could not be powered off: Not authorized"},
        {"fixed drive: locked is all",
         "dm-0",
         {},
         {},
         Calls{"dm_2d0 Unmount", "sdb1 Lock"},
         true,
         ""},
        {"unmount refused",
         "dm-0",
         {"CanPowerOff"},
         {{"dm_2d0 Unmount", "Target is busy"}},
         Calls{"dm_2d0 Unmount"},
         false,
         "the file system could not be unmounted: Target is busy"},
        // A plain partition: Eject, else power off; what fails after the unmount is only logged.
        {"plain",
         "sdb2",
         {"CanPowerOff", "Ejectable"},
         {{"Stick Eject", "Not authorized"}},
         Calls{"sdb2 Unmount", "Stick Eject"},
         true,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bus = stickOnTheBus(c.driveFlags, c.refusals);
        auto outcome = UDisks2Client(*bus).unmountAndEject(c.device);
        EXPECT_EQ(bus->calls, c.calls);
        EXPECT_EQ(outcome.unmounted, c.unmounted);
        EXPECT_EQ(outcome.result.reason, c.reason);
        EXPECT_EQ(outcome.result.succeeded(), *c.reason == '\0');
    }
}

// Once the bus has unmounted, its failure is the eject's: udisksctl and umount are not tried.
// Without the bus, udisksctl takes the same steps, and a refused lock stops it the same way.
TEST(LinuxVolumeEjector, AnEncryptedDiskIsLockedBeforeItsDriveIsPoweredOffByEitherTool) {
    TempDir dir;
    LinuxVolumeEjector::Tools tools;
    tools.bus = stickOnTheBus({"CanPowerOff"}, {{"sdb1 Lock", "Device is busy"}});
    tools.udisksctl = recordingTool(dir, "udisksctl", 0).string();
    tools.umount = recordingTool(dir, "umount", 0).string();
    EjectResult result = LinuxVolumeEjector(tools).ejectVolume(encryptedStick());
    EXPECT_EQ(result.error, EBUSY);
    EXPECT_EQ(result.reason,
              "the file system is unmounted, but the encrypted disk could not be locked: Device "
              "is busy");
    EXPECT_FALSE(fs::exists(dir / "calls.txt"));

    tools.useBus = false;
    for (int lockStatus : {0, 1}) {
        SCOPED_TRACE(lockStatus);
        fs::remove(dir / "calls.txt");
        tools.udisksctl =
            dir.writeExecutable("udisksctl", "#!/bin/sh\necho \"udisksctl $*\" >> '" +
                                                 (dir / "calls.txt").string() +
                                                 "'\n[ \"$1\" = lock ] && exit " +
                                                 std::to_string(lockStatus) + "\nexit 0\n")
                .string();
        result = LinuxVolumeEjector(tools).ejectVolume(encryptedStick());
        std::string calls =
            "udisksctl unmount --no-user-interaction -b /dev/mapper/luks-1\n"
            "udisksctl lock --no-user-interaction -b /dev/sdb1\n";
        if (lockStatus == 0) calls += "udisksctl power-off --no-user-interaction -b /dev/sdb\n";
        EXPECT_EQ(TempDir::read(dir / "calls.txt"), calls);
        EXPECT_EQ(result.error, lockStatus);
        EXPECT_EQ(result.reason, lockStatus == 0
                                     ? ""
                                     : "the file system is unmounted, but the encrypted "
                                       "disk could not be locked: udisksctl lock ended "
                                       "with status 1");
    }
}

TEST(LinuxVolumeEjector, UdisksctlUnmountsThenPowersOffOrFallsBackToUmountWithPlainArguments) {
    TempDir dir;
    LinuxVolumeEjector::Tools tools;
    tools.useBus = false;
    tools.udisksctl = recordingTool(dir, "udisksctl", 0).string();
    tools.umount = recordingTool(dir, "umount", 0).string();
    EXPECT_EQ(LinuxVolumeEjector(tools).ejectVolume(usbStick()).error, 0);
    EXPECT_EQ(TempDir::read(dir / "calls.txt"),
              "udisksctl unmount --no-user-interaction -b /dev/sdb1\n"
              "udisksctl power-off --no-user-interaction -b /dev/sdb\n");

    // A share is never handed to UDisks; a mapped disk is unmounted but not powered off.
    fs::remove(dir / "calls.txt");
    VolumeFacts share;
    share.rootPath = "/mnt/nfs";
    share.devicePath = "server:/export";
    share.network = true;
    EXPECT_EQ(LinuxVolumeEjector(tools).ejectVolume(share).error, 0);
    VolumeFacts mapped = usbStick();
    mapped.devicePath = "/dev/mapper/luks-1";
    mapped.wholeDiskName = "dm-3";
    EXPECT_EQ(LinuxVolumeEjector(tools).ejectVolume(mapped).error, 0);
    EXPECT_EQ(TempDir::read(dir / "calls.txt"),
              "umount -- /mnt/nfs\n"
              "udisksctl unmount --no-user-interaction -b /dev/mapper/luks-1\n");

    // When udisksctl fails, umount gets the mount point as one plain argument.
    fs::remove(dir / "calls.txt");
    tools.udisksctl = recordingTool(dir, "udisksctl", 1).string();
    EXPECT_EQ(LinuxVolumeEjector(tools).ejectVolume(usbStick()).error, 0);
    EXPECT_EQ(TempDir::read(dir / "calls.txt"),
              "udisksctl unmount --no-user-interaction -b /dev/sdb1\n"
              "umount -- /media/user/-stick; rm -rf x\n");
    tools.umount = recordingTool(dir, "umount", 32).string();
    auto failed = LinuxVolumeEjector(tools).ejectVolume(usbStick());
    EXPECT_EQ(failed.error, 32);  // the failure is reported, with its reason
    EXPECT_EQ(failed.reason, "udisksctl unmount ended with status 1");
}

// The bus paths are proved by the fake bus above, which knows its objects by them.
TEST(FileURL, EscapesWhatAUriMust) {
    EXPECT_EQ(fileURLFromPath("/media/My Disk/100%#"), "file:///media/My%20Disk/100%25%23");
}

TEST(LinuxProcessLauncher, ReportsExitStatusAndFindsToolsOnThePath) {
    TempDir dir;
    fs::path tool = recordingTool(dir, "tool", 3);
    LinuxProcessLauncher launcher;
    auto process = launcher.launch(tool.string(), {"a b"});
    ASSERT_NE(process, nullptr);
    while (process->isRunning()) {
    }
    EXPECT_EQ(process->terminationStatus(), 3);
    EXPECT_EQ(TempDir::read(dir / "calls.txt"), "tool a b\n");
    EXPECT_EQ(launcher.launch((dir / "missing").string(), {}), nullptr);

    // Started in a folder of its own (a terminal opened there).
    fs::path pwd = dir.writeExecutable("pwd.sh", "#!/bin/sh\npwd > \"$1\"\n");
    fs::create_directory(dir / "here");
    process =
        launcher.launchIn((dir / "here").string(), pwd.string(), {(dir / "pwd.txt").string()});
    ASSERT_NE(process, nullptr);
    while (process->isRunning()) {
    }
    EXPECT_EQ(TempDir::read(dir / "pwd.txt"), (dir / "here").string() + "\n");
    EXPECT_EQ(launcher.launchIn((dir / "gone").string(), pwd.string(), {}), nullptr);

    dir.write("plain/tool", "not executable");
    auto found = LinuxProcessLauncher::findOnPath(
        "tool", "relative:" + (dir / "plain").string() + ":" + dir.path().string());
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, tool);
    EXPECT_FALSE(LinuxProcessLauncher::findOnPath("tool", (dir / "plain").string()));
}

TEST(LinuxMemorySource, MapsMeminfoAndVmstat) {
    TempDir root;
    root.write("proc/meminfo",
               "MemTotal:       16384000 kB\nMemFree:         4096000 kB\n"
               "MemAvailable:    8000000 kB\nActive:          6000000 kB\n"
               "Inactive:        3000000 kB\nUnevictable:        1000 kB\n"
               "KernelStack:       20000 kB\nPageTables:        30000 kB\n"
               "SUnreclaim:       100000 kB\nHugePages_Total:       0\n");
    root.write("proc/vmstat", "nr_free_pages 1024000\npgpgin 500\npgpgout 700\npgfault 9000\n");
    LinuxMemorySource source(PlatformContext::underRoot(root.path()), 4096);
    MemoryCounts counts;
    ASSERT_EQ(source.sample(counts), 0);
    EXPECT_EQ(counts.total, 16ull << 30);  // MemTotal rounded up to the memory installed
    EXPECT_EQ(counts.free, 4096000ull * 1024);
    EXPECT_EQ(counts.active, 6000000ull * 1024);
    EXPECT_EQ(counts.inactive, 3000000ull * 1024);
    EXPECT_EQ(counts.wired, (1000ull + 20000 + 30000 + 100000) * 1024);
    EXPECT_EQ(counts.pageIns, 500ull * 1024);
    EXPECT_EQ(counts.pageOuts, 700ull * 1024);
    EXPECT_EQ(counts.faults, 9000ull * 4096);

    // A missing or unusable meminfo is an error and leaves the figures alone.
    root.write("proc/meminfo", "Garbage\n");
    MemoryCounts untouched = counts;
    EXPECT_NE(source.sample(untouched), 0);
    EXPECT_EQ(untouched.total, counts.total);
}

TEST(LinuxMemorySource, InstalledMemoryIsTheSumOfTheMemoryBlocks) {
    TempDir root;
    root.write("proc/meminfo", "MemTotal: 16318000 kB\nMemFree: 1000 kB\n");
    PlatformContext context = PlatformContext::underRoot(root.path());
    EXPECT_EQ(installedMemory(context, 16ull << 30), 16ull << 30);  // rounding is tested above
    root.write("sys/devices/system/memory/block_size_bytes", "8000000\n");  // 128 MiB
    for (int i = 0; i < 136; ++i) {
        if (i == 40 || i == 41) continue;  // a hole in the physical map
        fs::create_directories(context.sysRoot /
                               ("devices/system/memory/memory" + std::to_string(i)));
    }
    fs::create_directories(context.sysRoot / "devices/system/memory/power");
    MemoryCounts counts;
    ASSERT_EQ(LinuxMemorySource(context, 4096).sample(counts), 0);
    EXPECT_EQ(counts.total, 134ull * (128 << 20));
    // A listing that cannot be all of it falls back to the rounded count.
    EXPECT_EQ(installedMemory(context, 20ull << 30), 20ull << 30);
}

TEST(LinuxMachineFacts, ReadsDmiCpuinfoKernelAndOsRelease) {
    TempDir root;
    root.write("sys/class/dmi/id/sys_vendor", "LENOVO\n");
    root.write("sys/class/dmi/id/product_name", "20XW0055US\n");
    root.write("proc/cpuinfo",
               "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Core(TM) "
               "i7-1165G7 @ 2.80GHz\n\nprocessor\t: 1\nvendor_id\t: Other\n");
    root.write("proc/sys/kernel/ostype", "Linux\n");
    root.write("proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
    root.write("proc/sys/kernel/hostname", "desk\n");
    root.write("etc/os-release",
               "NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    root.write("proc/meminfo", "MemTotal: 16318000 kB\nMemFree: 1 kB\n");
    auto facts = LinuxMachineFacts(PlatformContext::underRoot(root.path())).machineFacts();
    EXPECT_EQ(facts.model, "LENOVO 20XW0055US");
    EXPECT_EQ(facts.cpuVendor, "GenuineIntel");
    EXPECT_EQ(facts.cpuBrand, "Intel(R) Core(TM) i7-1165G7 @ 2.80GHz");
    EXPECT_EQ(facts.osType, "Linux");
    EXPECT_EQ(facts.osRelease, "6.1.0-18-amd64");
    EXPECT_EQ(facts.hostname, "desk");
    EXPECT_EQ(facts.distribution, "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(facts.memorySize, 16ull << 30);
    EXPECT_FALSE(facts.machine.empty());  // uname's, which a fixture cannot replace
}

TEST(LinuxSystemVersion, ReadsTheLeadingReleaseNumbersOfTheProcRootOrUname) {
    unsigned a = 9, b = 9, c = 9;
    ASSERT_TRUE(LinuxSystemVersion::parseRelease("6.1.0-18-amd64", a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{6u, 1u, 0u}));
    ASSERT_TRUE(LinuxSystemVersion::parseRelease("5.15", a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{5u, 15u, 0u}));
    ASSERT_TRUE(LinuxSystemVersion::parseRelease("4.19.312-rc1", a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{4u, 19u, 312u}));
    EXPECT_FALSE(LinuxSystemVersion::parseRelease("", a, b, c));
    EXPECT_FALSE(LinuxSystemVersion::parseRelease("v6.1", a, b, c));
    EXPECT_FALSE(LinuxSystemVersion::parseRelease("99999999999.1", a, b, c));

    // From the proc root, else from uname.
    TempDir dir;
    dir.write("proc/sys/kernel/osrelease", "3.10.0-1160.el7.x86_64\n");
    PlatformContext context = PlatformContext::underRoot(dir.path());
    ASSERT_TRUE(LinuxSystemVersion(context).systemVersion(a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{3u, 10u, 0u}));

    context.procRoot = dir / "nowhere";
    ASSERT_TRUE(LinuxSystemVersion(context).systemVersion(a, b, c));
    EXPECT_GE(a, 3u);  // the running kernel
}

namespace {

// A launcher that records what it was asked to start and starts nothing.
struct RecordingLauncher : ProcessLauncher {
    struct Done : LaunchedProcess {
        bool isRunning() override { return false; }
        int terminationStatus() override { return 0; }
        void terminate() override {}
    };
    std::vector<std::vector<std::string>> started;
    std::unique_ptr<LaunchedProcess> launch(const std::string& program,
                                            const std::vector<std::string>& arguments) override {
        std::vector<std::string> call{program};
        call.insert(call.end(), arguments.begin(), arguments.end());
        started.push_back(std::move(call));
        return std::make_unique<Done>();
    }
    std::string ownExecutable() override { return {}; }
    std::string findTool(const std::string&) override { return {}; }
    bool runningAsAdministrator() override { return false; }
};

struct Viewer {
    explicit Viewer(bool fileManagerAnswers) {
        LinuxFileViewer::Options options;
        options.launcher = launcher;
        options.fileManager = [this, fileManagerAnswers](const std::string& method,
                                                         const std::string& uri) {
            calls.emplace_back(method, uri);
            return fileManagerAnswers;
        };
        viewer = std::make_unique<LinuxFileViewer>(std::move(options));
    }
    std::shared_ptr<RecordingLauncher> launcher = std::make_shared<RecordingLauncher>();
    std::vector<std::pair<std::string, std::string>> calls;
    std::unique_ptr<LinuxFileViewer> viewer;
};

}  // namespace

TEST(LinuxFileViewer, OpeningAProgramRevealsItAndNeverStartsIt) {
    TempDir dir;
    fs::path script = dir.writeExecutable("bin/tool.sh", "#!/bin/sh\ntouch ran\n");
    fs::path elf = dir.write("bin/program", std::string("\x7f"
                                                        "ELF\x02\x01\x01",
                                                        7));
    fs::path entry = dir.write("bin/start.desktop", "[Desktop Entry]\nType=Application\nExec=x\n");

    for (const fs::path& item : {script, elf, entry}) {
        Viewer withManager(true);
        EXPECT_TRUE(withManager.viewer->openFile(item.string()));
        EXPECT_TRUE(withManager.launcher->started.empty()) << item;
        ASSERT_EQ(withManager.calls.size(), 1u);
        EXPECT_EQ(withManager.calls[0],
                  std::make_pair(std::string("ShowItems"), fileURLFromPath(item.string())));

        // Without a file manager only the folder is opened.
        Viewer withoutManager(false);
        EXPECT_TRUE(withoutManager.viewer->openFile(item.string()));
        EXPECT_EQ(withoutManager.launcher->started,
                  (std::vector<std::vector<std::string>>{{"xdg-open", (dir / "bin").string()}}));
    }
    EXPECT_FALSE(fs::exists(dir / "ran"));
}

TEST(LinuxFileViewer, OpensDocumentsWithTheirApplicationAndShowsFolders) {
    TempDir dir;
    fs::path document = dir.write("docs/report.txt", "text\n");
    Viewer viewer(true);
    EXPECT_TRUE(viewer.viewer->openFile(document.string()));
    EXPECT_TRUE(viewer.viewer->openFile((dir / "docs").string()));
    EXPECT_EQ(viewer.launcher->started,
              (std::vector<std::vector<std::string>>{{"xdg-open", document.string()}}));
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].first, "ShowFolders");
}

TEST(LinuxFileViewer, AnOpenerThatHangsIsGivenUpAfterTheTimeLimit) {
    struct Hanging : RecordingLauncher {
        struct Running : LaunchedProcess {
            bool* terminated;
            explicit Running(bool* flag) : terminated(flag) {}
            bool isRunning() override { return !*terminated; }
            int terminationStatus() override { return *terminated ? 143 : -1; }
            void terminate() override { *terminated = true; }
        };
        bool terminated = false;
        std::unique_ptr<LaunchedProcess> launch(const std::string&,
                                                const std::vector<std::string>&) override {
            return std::make_unique<Running>(&terminated);
        }
    };
    TempDir dir;
    fs::path document = dir.write("a.txt", "text\n");
    auto launcher = std::make_shared<Hanging>();
    LinuxFileViewer::Options options;
    options.launcher = launcher;
    options.fileManager = [](const std::string&, const std::string&) { return false; };
    options.timeLimit = std::chrono::milliseconds(50);
    LinuxFileViewer viewer(std::move(options));
    EXPECT_FALSE(viewer.openFile(document.string()));
    EXPECT_TRUE(launcher->terminated);
}
