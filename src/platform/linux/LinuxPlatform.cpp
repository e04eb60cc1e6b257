// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxPlatform.h"

#include <memory>

#include "core/fs/UserHome.h"
#include "platform/PrivilegedHelperLauncher.h"
#include "platform/Services.h"
#include "platform/linux/AutostartLoginItems.h"
#include "platform/linux/FlatpakCommand.h"
#include "platform/linux/JournalctlCommand.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LinuxFileViewer.h"
#include "platform/linux/LinuxHelperLauncher.h"
#include "platform/linux/LinuxMachineFacts.h"
#include "platform/linux/LinuxMemorySource.h"
#include "platform/linux/LinuxMountChangeNotifier.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "platform/linux/LinuxVolumeEjector.h"
#include "platform/linux/LinuxVolumeSource.h"
#include "platform/linux/PackageKitService.h"
#include "platform/linux/PackageManagerDetection.h"
#include "platform/linux/SnapCommand.h"

namespace quillby {

void installLinuxPlatform(const PlatformContext& context) {
    Services::setContext(context);
    // Root with another user's HOME reads that user's settings but writes none of them.
    Services::install<PreferencesStore>(std::make_shared<JsonPreferencesStore>(
        context.appConfigFolder() / "preferences.json", context.uid,
        UserHome(context.home, context.uid).refusal()));
    Services::install<SystemVersionSource>(std::make_shared<LinuxSystemVersion>(context));
    Services::install<VolumeSource>(std::make_shared<LinuxVolumeSource>(context));
    Services::install<VolumeEjector>(std::make_shared<LinuxVolumeEjector>());
    Services::install<FileViewer>(std::make_shared<LinuxFileViewer>());
    Services::install<MountChangeNotifierFactory>(std::make_shared<MountChangeNotifierFactory>(
        [mountInfo =
             context.procRoot / "self/mountinfo"]() -> std::unique_ptr<MountChangeNotifier> {
            return std::make_unique<LinuxMountChangeNotifier>(mountInfo);
        }));
    Services::install<MemorySource>(std::make_shared<LinuxMemorySource>(context));
    Services::install<ProcessLauncher>(std::make_shared<LinuxProcessLauncher>());
    Services::install<MachineFactsSource>(std::make_shared<LinuxMachineFacts>(context));
    Services::install<LoginItemsBackend>(std::make_shared<AutostartLoginItems>(context));
    Services::install<PrivilegedHelperLauncher>(LinuxHelperLauncher::forContext(context));
    Services::install<PackageManagerBackend>(PackageManagerDetection::detect(context));
    auto packageKit = std::make_shared<PackageKitService>();
    Services::install<PackageRemovalService>(packageKit);
    Services::install<PackageUpdateService>(packageKit);
    Services::install<FlatpakBackend>(std::make_shared<FlatpakCommand>(context));
    Services::install<SnapBackend>(std::make_shared<SnapCommand>(context));
    Services::install<SystemJournal>(std::make_shared<JournalctlCommand>(context));
}

}  // namespace quillby
