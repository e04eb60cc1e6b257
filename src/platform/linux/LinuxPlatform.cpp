#include "platform/linux/LinuxPlatform.h"

#include <memory>

#include "clean/InternalVolumeSource.h"
#include "platform/PrivilegedHelperLauncher.h"
#include "platform/Services.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LinuxHelperLauncher.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "platform/linux/MountInfoInternalVolumes.h"

void installLinuxPlatform(const PlatformContext& context) {
    Services::setContext(context);
    Services::install<PreferencesStore>(
        std::make_shared<JsonPreferencesStore>(context.appConfigFolder() / "preferences.json"));
    Services::install<SystemVersionSource>(std::make_shared<LinuxSystemVersion>(context));
    Services::install<PrivilegedHelperLauncher>(LinuxHelperLauncher::forContext(context));
    Services::install<InternalVolumeSource>(std::make_shared<MountInfoInternalVolumes>(context));
}
