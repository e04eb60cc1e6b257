// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/events/Log.h"
#include "platform/Services.h"
#include "platform/VolumeSource.h"
#include "sysinfo/ComputerInfoRows.h"
#include "sysinfo/DiagnosticLog.h"
#include "sysinfo/MachineFacts.h"

using namespace quillby;

namespace {

struct FixedFacts : MachineFactsSource {
    PlatformMachineFacts facts;
    PlatformMachineFacts machineFacts() override { return facts; }
};

struct TwoVolumes : VolumeSource {
    std::vector<VolumeFacts> mountedVolumes() override {
        VolumeFacts root{.referenceNumber = 26,
                         .name = "/",
                         .rootPath = "/",
                         .deviceName = "nvme0n1p2",
                         .totalBytes = 500ull << 30,
                         .freeBytes = (100ull << 30) + 5};
        VolumeFacts stick{.referenceNumber = 40,
                          .name = "MY STICK",
                          .rootPath = "/media/MY STICK",
                          .deviceName = "sdb1",
                          .totalBytes = 16ull << 30,
                          .freeBytes = 1ull << 29,
                          .externalBus = true,
                          .removable = true,
                          .ejectable = true};
        return {root, stick};
    }
};

PlatformMachineFacts sixteenGigabyteMachine() {
    return {.machine = "x86_64",
            .model = "LENOVO 20XW0055US",
            .cpuVendor = "GenuineIntel",
            .cpuBrand = "Intel(R) Core(TM) i7",
            .osType = "Linux",
            .osRelease = "6.1.0-18-amd64",
            .distribution = "Debian GNU/Linux 12 (bookworm)",
            .hostname = "desk",
            .memorySize = 16ull << 30};
}

}  // namespace

TEST(MachineFacts, SevenRowsInOrderWithMemoryInStepsOf1024) {
    FixedFacts source;
    source.facts = sixteenGigabyteMachine();
    std::vector<std::string> values;
    for (const auto& row : computerInfoRows(MachineFacts::read(&source)))
        values.push_back(row.value);
    EXPECT_EQ(values, (std::vector<std::string>{
                          "LENOVO 20XW0055US", "GenuineIntel", "Intel(R) Core(TM) i7", "16.00 GB",
                          "Linux (Debian GNU/Linux 12 (bookworm))", "6.1.0-18-amd64", "desk"}));

    // No room for a long distribution name: the OS type stands alone.
    source.facts.distribution = std::string(80, 'd');
    EXPECT_EQ(computerInfoRows(MachineFacts::read(&source))[4].value, "Linux");
    // Nothing readable: empty rows, memory 0.
    FixedFacts empty;
    auto blank = computerInfoRows(MachineFacts::read(&empty));
    EXPECT_EQ(blank[0].value, "");
    EXPECT_EQ(blank[3].value, "0.00 KB");
}

TEST(MachineFacts, LongValuesAreCutToTheirFieldWithoutSplittingACharacter) {
    for (const char* text : {"abcdef", "abc"}) EXPECT_EQ(MachineFacts::cutToWidth(text, 4), "abc");
    EXPECT_EQ(MachineFacts::cutToWidth("ab\xC3\xA9z", 4), "ab");  // "abé" would need 4 bytes
    EXPECT_EQ(MachineFacts::cutToWidth("x", 0), "");
    FixedFacts source;
    source.facts.hostname = std::string(600, 'h');
    EXPECT_EQ(MachineFacts::read(&source).hostname.size(), MachineFacts::kHostnameWidth - 1);
}

TEST(DiagnosticLog, ComputerReportListsHardwareThenVolumes) {
    auto facts = std::make_shared<FixedFacts>();
    facts->facts = sixteenGigabyteMachine();
    facts->facts.model.clear();  // unreadable: its line is left out
    Services::install<MachineFactsSource>(facts);
    Services::install<VolumeSource>(std::make_shared<TwoVolumes>());
    std::vector<std::string> lines;
    {
        ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
        DiagnosticLog::logComInfo();
    }
    Services::install<MachineFactsSource>(nullptr);
    Services::install<VolumeSource>(nullptr);
    std::vector<std::string> expected{
        "hardware info",
        "machine: x86_64",
        "memsize: 16 GB",
        "cpu vendor: GenuineIntel",
        "cpu type: Intel(R) Core(TM) i7",
        "os type: Linux",
        "os version: 6.1.0-18-amd64",
        "host name: desk",
        " ",
        "volume list",
        "volname=/,totalSpace:500 GB, freeSpace:100 GB, root=/",
        "default volume",
        "vMDeviceID:nvme0n1p2,Attrib:0x0,ExtAttrib:0x0,Server:0x0",
        "volname=MY STICK,totalSpace:16 GB, freeSpace:0 GB, root=/media/MY STICK",
        "vMDeviceID:sdb1,Attrib:0x0,ExtAttrib:0xa000001,Server:0x0",
        " "};
    EXPECT_EQ(lines, expected);
}
