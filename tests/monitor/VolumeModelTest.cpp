// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "core/events/Log.h"
#include "core/text/LocalizedText.h"
#include "core/work/PlainMainQueue.h"
#include "monitor/FakeVolumes.h"
#include "monitor/VolumeMenuModel.h"
#include "monitor/VolumesInfo.h"
#include "monitor/VolumesManager.h"
#include "platform/FileViewer.h"

using namespace quillby;

namespace {

VolumeFacts with(VolumeFacts volume, bool network, bool optical, bool external, bool removable,
                 bool ejectable) {
    volume.network = network;
    volume.optical = optical;
    volume.externalBus = external;
    volume.removable = removable;
    volume.ejectable = ejectable;
    return volume;
}

struct RecordingViewer : FileViewer {
    std::vector<std::string> opened;
    bool openFolder(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
};

}  // namespace

TEST(VolumesInfo, KindAndEjectRulesFirstMatchWins) {
    auto source = std::make_shared<FakeVolumeSource>();
    source->set({
        facts(1, "/"),
        with(facts(2, "/media/stick"), false, false, true, true, true),
        with(facts(3, "/media/usbdisk"), false, false, true, false, false),
        with(facts(4, "/media/dvd"), false, true, false, true, false),  // not ejectable: forced
        with(facts(5, "/mnt/nfs"), true, false, false, false, false),
        with(facts(6, "/media/image"), false, false, false, true, true),
        with(facts(7, "/media/net-usb"), true, true, true, true, false),
        facts(8, "/media/empty", 0, 0),
    });
    VolumesInfo info(source);
    const auto& list = info.volsArray();
    ASSERT_EQ(list.size(), 7u);  // the zero-sized volume is left out
    struct Expected {
        std::int32_t kind;
        bool eject;
    };
    const Expected expected[] = {{0, false}, {1, true}, {1, true}, {2, true},
                                 {3, true},  {4, true}, {3, true}};
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(list[i].volRootDir);
        EXPECT_EQ(list[i].volType, expected[i].kind);
        EXPECT_EQ(list[i].bCanEject, expected[i].eject);
        EXPECT_EQ(list[i].bIsDefaultVol, i == 0);
    }
    EXPECT_EQ(list[0].totalSpace, "1.00 KB");
    EXPECT_EQ(list[0].freeSpace, "0.50 KB");
    EXPECT_EQ(info.getBootVolume(), &list[0]);

    // The list is one object, refilled by every enumeration.
    const auto* before = &info.volsArray();
    source->set({facts(9, "/data")});
    EXPECT_EQ(&info.getAllVolsInfo(), before);
    ASSERT_EQ(before->size(), 1u);
    EXPECT_EQ(info.getBootVolume(), nullptr);
}

// The GUI thread's list: empty until its first refresh, enumerated on a worker and handed over
// through the main queue; requests made while one runs share one enumeration after it; a list
// arriving after its owner went is dropped.
TEST(VolumesInfo, RefreshesOnAWorkerSharesWaitingRequestsAndDropsALateList) {
    PlainMainQueue queue;
    auto source = std::make_shared<FakeVolumeSource>();
    source->set({facts(1, "/")});
    source->hold(true);
    auto info = std::make_unique<VolumesInfo>(source, VolumesInfo::FirstList::ByRefresh);
    EXPECT_EQ(source->callCount(), 0);
    std::vector<std::string> done;
    auto note = [&](const char* who) {
        return [&, who] { done.push_back(who + std::to_string(info->volsArray().size())); };
    };
    info->refreshInBackground(queue, note("a"));
    info->refreshInBackground(queue, note("b"));
    info->refreshInBackground(queue, note("c"));
    EXPECT_TRUE(info->refreshing());
    EXPECT_TRUE(info->volsArray().empty());
    source->set({facts(1, "/"), facts(2, "/home")});
    source->hold(false);
    ASSERT_TRUE(queue.runUntil([&] { return done.size() == 3; }));
    EXPECT_EQ(done, (std::vector<std::string>{"a2", "b2", "c2"}));
    EXPECT_EQ(source->callCount(), 2);
    EXPECT_TRUE(source->listedOffThisThread());
    EXPECT_FALSE(info->refreshing());

    source->hold(true);
    bool late = false;
    info->refreshInBackground(queue, [&] { late = true; });
    info.reset();
    source->hold(false);
    queue.runUntil([&] { return late; }, std::chrono::milliseconds(200));
    EXPECT_FALSE(late);
}

TEST(VolumesManager, EjectAllGivesMinusOneZeroOrOneAndGoesOnAfterAFailure) {
    auto source = std::make_shared<FakeVolumeSource>();
    auto ejector = std::make_shared<FakeEjector>();
    VolumesManager manager(source, ejector, std::make_shared<RecordingViewer>());

    source->set({facts(1, "/"), facts(2, "/home")});
    EXPECT_EQ(manager.ejectAllVolumes(), -1);
    EXPECT_TRUE(ejector->ejected.empty());
    auto outcome = VolumeMenuModel::rejestAllDisk(manager);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.balloonText, localizedString("NO_HAVE_REMOVABLE"));
    EXPECT_FALSE(outcome.rebuildMenu);

    source->set({facts(1, "/"), with(facts(70000, "/media/a"), false, false, true, true, true),
                 with(facts(3, "/mnt/nfs"), true, false, false, false, false),
                 with(facts(4, "/media/b"), false, false, true, true, true)});
    EXPECT_EQ(manager.ejectAllVolumes(), 0);
    EXPECT_EQ(ejector->ejected, (std::vector<std::int32_t>{70000, 3, 4}));

    ejector->ejected.clear();
    ejector->failing = {70000};
    std::vector<std::string> lines;
    {
        ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
        outcome = VolumeMenuModel::rejestAllDisk(manager);
    }
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.rebuildMenu);
    EXPECT_FALSE(outcome.balloonText);
    EXPECT_EQ(ejector->ejected, (std::vector<std::int32_t>{70000, 3, 4}));  // the rest went on
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Eject the volume 70000 failed result: 16"),
              lines.end());
    std::vector<std::string> failures;
    EXPECT_EQ(manager.ejectAllVolumes(&failures), 1);
    EXPECT_EQ(failures,
              std::vector<std::string>{"Could not eject a (/media/a): the disk is busy."});
}

TEST(VolumesManager, EjectsOnlyAVolumeThatIsStillMountedAndOpensNormalisedPaths) {
    auto source = std::make_shared<FakeVolumeSource>();
    auto ejector = std::make_shared<FakeEjector>();
    auto viewer = std::make_shared<RecordingViewer>();
    VolumesManager manager(source, ejector, viewer);
    source->set({facts(1, "/"), with(facts(2, "/media/a"), false, false, true, true, true)});
    EXPECT_TRUE(manager.ejectSingleVolume(2));
    std::string failure;
    EXPECT_FALSE(
        manager.ejectSingleVolume(3, &failure));  // gone meanwhile: nothing else is ejected
    EXPECT_EQ(failure, "Could not eject the volume 3: it is no longer mounted.");
    EXPECT_EQ(ejector->ejected, (std::vector<std::int32_t>{2}));

    EXPECT_FALSE(manager.openVolRootDir(""));
    EXPECT_TRUE(manager.openVolRootDir("/media//a/./b/../"));
    EXPECT_EQ(viewer->opened, (std::vector<std::string>{"/media/a"}));
}

TEST(VolumeMenuModel, GroupsInMenuOrderAndEnablesEjectAllForNonLocalKinds) {
    auto record = [](std::int32_t ref, std::int32_t kind) {
        MountedVolume volume;
        volume.volRefNumber = ref;
        volume.volType = kind;
        return volume;
    };
    std::vector<MountedVolume> volumes{record(1, 3), record(2, 0), record(3, 4), record(4, 0),
                                       record(5, 1)};
    auto groups = VolumeMenuModel::groupVolumesByKind(volumes);
    ASSERT_EQ(groups.size(), 4u);  // no optical group: empty groups add nothing
    EXPECT_EQ(groups[0].titleKey, "LOCAL_STORAGE");
    ASSERT_EQ(groups[0].volumes.size(), 2u);
    EXPECT_EQ(groups[0].volumes[1].volRefNumber, 4);
    EXPECT_EQ(groups[1].titleKey, "EXTERNAL_STORAGE");
    EXPECT_EQ(groups[2].titleKey, "NETWOR_STORAGE");
    EXPECT_EQ(groups[3].titleKey, "DISK_IMAGE");

    // A row keeps what it needs to open its folder and to be found again.
    MountedVolume data = record(9, 0);
    data.volRootDir = "/data";
    VolumeRow row = VolumeMenuModel::volumeRow(data, 4, "10");
    EXPECT_EQ(row.ViewTag, 4);
    EXPECT_EQ(row.volRefNumber, 9);
    EXPECT_EQ(row.volRootDir, "/data");

    EXPECT_TRUE(VolumeMenuModel::ejectAllEnabled(volumes));
    EXPECT_FALSE(VolumeMenuModel::ejectAllEnabled({record(1, 0), record(2, 0)}));
    EXPECT_TRUE(VolumeMenuModel::ejectAllEnabled({record(1, 0), record(2, 2)}));
}
