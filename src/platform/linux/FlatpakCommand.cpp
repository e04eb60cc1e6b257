// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FlatpakCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "core/events/Log.h"
#include "core/text/PlainText.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

bool FlatpakCommand::isApplicationId(const std::string& id) {
    if (id.empty() || id.size() > 255 || id.front() == '-' || id.front() == '.') return false;
    if (id.find('.') == std::string::npos) return false;
    for (char c : id) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == '.';
        if (!allowed) return false;
    }
    return true;
}

std::vector<FlatpakApp> FlatpakCommand::parseList(const std::string& text) {
    std::vector<FlatpakApp> apps;
    for (const auto& line : splitText(text, "\n")) {
        auto fields = splitText(line, "\t");
        if (fields.size() < 3 || !isApplicationId(fields[0])) continue;
        apps.push_back({fields[0], fields[1], fields[2]});
    }
    return apps;
}

std::vector<FlatpakApp> FlatpakCommand::installedApps() {
    auto flatpak = SystemTool::find("flatpak", context_);
    if (!flatpak) return {};
    ToolRunResult result =
        flatpak->run({"list", "--app", "--columns=application,version,installation"}, 60);
    if (!result.started || result.timedOut || result.status != 0) {
        QWLog("flatpak list failed: %s", SystemTool::failureText(result).c_str());
        return {};
    }
    return parseList(result.output);
}

bool FlatpakCommand::uninstall(const std::string& id, const std::string& installation,
                               std::string& why) {
    if (!isApplicationId(id)) {
        why = "\"" + id + "\" is not a Flatpak application ID";
        return false;
    }
    auto flatpak = SystemTool::find("flatpak", context_);
    if (!flatpak) {
        why = "flatpak is not installed";
        return false;
    }
    std::vector<std::string> arguments{"uninstall", "--noninteractive"};
    if (installation == "user") {
        arguments.push_back("--user");
    } else if (installation == "system" || installation.empty()) {
        arguments.push_back("--system");
    } else {
        arguments.push_back("--installation=" + installation);
    }
    arguments.push_back("--");
    arguments.push_back(id);
    ToolRunResult result = flatpak->run(arguments);
    if (result.started && result.status == 0) return true;
    why = "flatpak uninstall " + id + ": " + SystemTool::failureText(result);
    return false;
}

namespace {

// "org.gnome.Platform/x86_64/45" from "runtime/org.gnome.Platform/x86_64/45" or itself.
std::string withoutKind(std::string ref) {
    if (ref.starts_with("runtime/")) ref.erase(0, 8);
    return ref;
}

std::string idOf(const std::string& ref) {
    return ref.substr(0, ref.find('/'));
}

// A runtime proper, on which applications run or are built; extensions are named after these.
bool isRuntimeProper(const std::string& id) {
    return id.ends_with(".Platform") || id.ends_with(".Sdk") || id.ends_with(".BaseApp");
}

}  // namespace

std::uint64_t FlatpakCommand::parseSize(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    double number = std::strtod(start, &end);
    if (end == start || !(number >= 0)) return 0;
    std::string unit(end);
    // GLib may put a no-break space between the number and its unit.
    std::erase_if(unit, [](char c) { return c == ' ' || c == '\xC2' || c == '\xA0'; });
    double factor = 1;
    if (unit == "kB")
        factor = 1e3;
    else if (unit == "MB")
        factor = 1e6;
    else if (unit == "GB")
        factor = 1e9;
    else if (unit == "TB")
        factor = 1e12;
    else if (unit != "bytes" && unit != "byte" && unit != "B")
        return 0;
    return static_cast<std::uint64_t>(std::llround(number * factor));
}

std::vector<FlatpakUnusedRuntime> FlatpakCommand::unusedOf(const std::string& runtimes,
                                                           const std::string& apps,
                                                           const std::string& pinned) {
    std::set<std::string> used;
    for (const auto& line : splitText(apps, "\n")) {
        auto fields = splitText(line, "\t");
        if (fields.size() >= 2 && !fields[1].empty()) used.insert(withoutKind(fields[1]));
    }
    std::vector<std::string> pins;
    for (const auto& line : splitText(pinned, "\n")) {
        std::string pin = line;
        std::erase_if(pin, [](char c) { return c == ' ' || c == '\t'; });
        if (!pin.empty()) pins.push_back(withoutKind(pin));
    }
    std::vector<FlatpakUnusedRuntime> unused;
    for (const auto& line : splitText(runtimes, "\n")) {
        auto fields = splitText(line, "\t");
        if (fields.size() < 3) continue;
        std::string ref = withoutKind(fields[0]);
        std::string id = idOf(ref);
        const std::string& installation = fields[1];
        if (!isApplicationId(id) || !isRuntimeProper(id) || used.count(ref) > 0) continue;
        if (installation != "user" && installation != "system") continue;
        bool isPinned = std::any_of(pins.begin(), pins.end(), [&](const std::string& pin) {
            return pin == ref || pin == id || ref.starts_with(pin + "/");
        });
        if (isPinned) continue;
        unused.push_back({"runtime/" + ref, installation, parseSize(fields[2])});
    }
    return unused;
}

std::optional<std::string> FlatpakCommand::listing(
    const SystemTool& flatpak, const std::vector<std::string>& arguments) const {
    ToolRunResult result = flatpak.run(arguments, 60);
    if (result.started && !result.timedOut && result.status == 0) return result.output;
    QWLog("flatpak %s failed: %s", arguments.front().c_str(),
          SystemTool::failureText(result).c_str());
    return std::nullopt;
}

std::optional<std::vector<FlatpakUnusedRuntime>> FlatpakCommand::unusedRuntimes() {
    auto flatpak = SystemTool::find("flatpak", context_);
    if (!flatpak) return std::nullopt;
    auto runtimes = listing(*flatpak, {"list", "--runtime", "--columns=ref,installation,size"});
    auto apps = listing(*flatpak, {"list", "--app", "--columns=application,runtime"});
    if (!runtimes || !apps) return std::vector<FlatpakUnusedRuntime>{};
    // A pinned runtime stays, whatever uses it; without the pins nothing can be offered.
    std::string pinned;
    for (const char* installation : {"--user", "--system"}) {
        auto pins = listing(*flatpak, {"pin", installation});
        if (!pins) return std::vector<FlatpakUnusedRuntime>{};
        pinned += *pins + "\n";
    }
    return unusedOf(*runtimes, *apps, pinned);
}

bool FlatpakCommand::uninstallUnusedRuntime(const FlatpakUnusedRuntime& runtime, std::string& why) {
    // Judged again now: an application installed since the scan may run on it.
    auto unused = unusedRuntimes();
    if (!unused) {
        why = "flatpak is not installed";
        return false;
    }
    bool stillUnused = std::any_of(unused->begin(), unused->end(), [&](const auto& candidate) {
        return candidate.ref == runtime.ref && candidate.installation == runtime.installation;
    });
    if (!stillUnused) {
        why = runtime.ref + " is no longer unused";
        return false;
    }
    auto flatpak = SystemTool::find("flatpak", context_);
    ToolRunResult result = flatpak->run(
        {"uninstall", "--noninteractive", "--" + runtime.installation, "--", runtime.ref});
    if (result.started && result.status == 0) return true;
    why = "flatpak uninstall " + runtime.ref + ": " + SystemTool::failureText(result);
    return false;
}

}  // namespace quillby
