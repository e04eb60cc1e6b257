#include "platform/linux/LinuxPlatform.h"

#include <memory>

#include "platform/Services.h"
#include "platform/linux/AutostartLoginItems.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LinuxSystemVersion.h"

void installLinuxPlatform(const PlatformContext& context) {
    Services::setContext(context);
    Services::install<PreferencesStore>(
        std::make_shared<JsonPreferencesStore>(context.appConfigFolder() / "preferences.json"));
    Services::install<SystemVersionSource>(std::make_shared<LinuxSystemVersion>(context));
    Services::install<LoginItemsBackend>(std::make_shared<AutostartLoginItems>(context));
}
