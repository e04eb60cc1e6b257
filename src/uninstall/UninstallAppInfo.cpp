#include "uninstall/UninstallAppInfo.h"

#include "uninstall/UninstallAppDelegate.h"

UninstallAppInfo::UninstallAppInfo(const AppBackends& backends) {
    allAppsInfo_.reserve(100);
    UninstallAppDelegate(backends).getAppInfo(&allAppsInfo_);
}
