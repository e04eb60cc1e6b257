// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PlatformContext.h"

#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <string_view>

namespace quillby {

namespace fs = std::filesystem;

namespace {

// XDG variables count only when set to an absolute path; anything else means the default.
fs::path absoluteVariable(const char* name, const fs::path& fallback) {
    const char* value = std::getenv(name);
    if (value && value[0] == '/') return value;
    return fallback;
}

std::vector<fs::path> pathListVariable(const char* name, std::string_view fallback) {
    const char* value = std::getenv(name);
    std::string_view list = (value && *value) ? std::string_view(value) : fallback;
    std::vector<fs::path> paths;
    while (!list.empty()) {
        size_t colon = list.find(':');
        std::string_view item = list.substr(0, colon);
        if (!item.empty() && item.front() == '/') paths.emplace_back(item);
        if (colon == std::string_view::npos) break;
        list.remove_prefix(colon + 1);
    }
    return paths;
}

// The first of the variables that decide the messages' language and is set.
std::string messagesLocaleVariable() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "";
}

fs::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    if (passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

}  // namespace

PlatformContext PlatformContext::fromEnvironment() {
    PlatformContext context;
    context.uid = getuid();
    context.home = homeFolder();
    context.xdgConfigHome = absoluteVariable("XDG_CONFIG_HOME", context.home / ".config");
    context.xdgDataHome = absoluteVariable("XDG_DATA_HOME", context.home / ".local/share");
    context.xdgCacheHome = absoluteVariable("XDG_CACHE_HOME", context.home / ".cache");
    context.xdgStateHome = absoluteVariable("XDG_STATE_HOME", context.home / ".local/state");
    context.runtimeDir = absoluteVariable(
        "XDG_RUNTIME_DIR", fs::path("/tmp") / ("quillby-runtime-" + std::to_string(context.uid)));
    context.tempDir = absoluteVariable("TMPDIR", "/tmp");
    context.xdgConfigDirs = pathListVariable("XDG_CONFIG_DIRS", "/etc/xdg");
    context.xdgDataDirs = pathListVariable("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/");
    context.executableSearchPath = pathListVariable("PATH", "/usr/local/bin:/usr/bin:/bin");
    context.messagesLocale = messagesLocaleVariable();
    return context;
}

PlatformContext PlatformContext::underRoot(const fs::path& root) {
    PlatformContext context;
    context.uid = getuid();
    context.procRoot = root / "proc";
    context.sysRoot = root / "sys";
    context.devRoot = root / "dev";
    context.etcRoot = root / "etc";
    context.varRoot = root / "var";
    context.home = root / "home";
    context.xdgConfigHome = context.home / ".config";
    context.xdgDataHome = context.home / ".local/share";
    context.xdgCacheHome = context.home / ".cache";
    context.xdgStateHome = context.home / ".local/state";
    context.runtimeDir = root / "run/user";
    context.tempDir = root / "tmp";
    context.xdgConfigDirs = {root / "etc/xdg"};
    context.xdgDataDirs = {root / "usr/local/share", root / "usr/share"};
    context.executableSearchPath = {root / "usr/local/bin", root / "usr/bin", root / "bin"};
    return context;
}

}  // namespace quillby
