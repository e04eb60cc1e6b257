// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxMachineFacts.h"

#include <sys/utsname.h>
#include <fstream>
#include <string_view>

#include "platform/linux/InstalledMemory.h"
#include "platform/linux/LinuxMemorySource.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string firstLine(const fs::path& file) {
    std::ifstream input(file);
    std::string line;
    std::getline(input, line);
    // Device-tree strings end with a NUL.
    return trimmed(line.substr(0, line.find('\0')));
}

// The value of the first "key : value" line of /proc/cpuinfo with this key.
std::string cpuinfoValue(const std::string& text, std::string_view key) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        size_t colon = line.find(':');
        if (colon != std::string_view::npos && trimmed(line.substr(0, colon)) == key) {
            return trimmed(line.substr(colon + 1));
        }
        start = end + 1;
    }
    return {};
}

// os-release values may be quoted.
std::string osReleaseValue(const fs::path& file, std::string_view key) {
    std::ifstream input(file);
    std::string line;
    while (std::getline(input, line)) {
        if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != '=')
            continue;
        std::string value = trimmed(std::string_view(line).substr(key.size() + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return value;
    }
    return {};
}

}  // namespace

std::string LinuxMachineFacts::model() const {
    fs::path dmi = context_.sysRoot / "class/dmi/id";
    std::string vendor = firstLine(dmi / "sys_vendor");
    std::string product = firstLine(dmi / "product_name");
    if (!vendor.empty() && !product.empty() && !product.starts_with(vendor)) {
        return vendor + " " + product;
    }
    if (!product.empty()) return product;
    std::string treeModel = firstLine(context_.sysRoot / "firmware/devicetree/base/model");
    return treeModel.empty() ? vendor : treeModel;
}

PlatformMachineFacts LinuxMachineFacts::machineFacts() {
    PlatformMachineFacts facts;
    utsname names{};
    bool haveNames = ::uname(&names) == 0;
    fs::path kernel = context_.procRoot / "sys/kernel";
    facts.machine = haveNames ? names.machine : "";
    facts.model = model();

    std::ifstream cpuinfoFile(context_.procRoot / "cpuinfo");
    std::string cpuinfo((std::istreambuf_iterator<char>(cpuinfoFile)),
                        std::istreambuf_iterator<char>());
    facts.cpuVendor = cpuinfoValue(cpuinfo, "vendor_id");
    facts.cpuBrand = cpuinfoValue(cpuinfo, "model name");

    facts.osType = firstLine(kernel / "ostype");
    if (facts.osType.empty() && haveNames) facts.osType = names.sysname;
    facts.osRelease = firstLine(kernel / "osrelease");
    if (facts.osRelease.empty() && haveNames) facts.osRelease = names.release;
    facts.hostname = firstLine(kernel / "hostname");
    if (facts.hostname.empty() && haveNames) facts.hostname = names.nodename;

    facts.distribution = osReleaseValue(context_.etcRoot / "os-release", "PRETTY_NAME");
    if (facts.distribution.empty()) {
        facts.distribution =
            osReleaseValue(context_.etcRoot / "../usr/lib/os-release", "PRETTY_NAME");
    }

    std::ifstream meminfoFile(context_.procRoot / "meminfo");
    std::string meminfo((std::istreambuf_iterator<char>(meminfoFile)),
                        std::istreambuf_iterator<char>());
    auto counters = LinuxMemorySource::parseCounters(meminfo);
    if (auto it = counters.find("MemTotal"); it != counters.end())
        facts.memorySize = installedMemory(context_, it->second);
    return facts;
}

}  // namespace quillby
