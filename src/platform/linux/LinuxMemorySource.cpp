// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxMemorySource.h"

#include "platform/linux/InstalledMemory.h"

#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>

namespace quillby {

namespace {

bool readFile(const std::filesystem::path& path, std::string& text) {
    std::ifstream input(path);
    if (!input) return false;
    std::stringstream buffer;
    buffer << input.rdbuf();
    text = buffer.str();
    return true;
}

}  // namespace

LinuxMemorySource::LinuxMemorySource(PlatformContext context, std::uint64_t pageSize)
    : context_(std::move(context)), pageSize_(pageSize) {
    if (pageSize_ == 0) {
        long size = ::sysconf(_SC_PAGESIZE);
        pageSize_ = size > 0 ? static_cast<std::uint64_t>(size) : 4096;
    }
}

std::map<std::string, std::uint64_t> LinuxMemorySource::parseCounters(std::string_view text) {
    std::map<std::string, std::uint64_t> counters;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        size_t nameEnd = line.find_first_of(": ");
        if (nameEnd == 0 || nameEnd == std::string_view::npos) continue;
        std::string_view rest = line.substr(nameEnd);
        size_t digits = rest.find_first_of("0123456789");
        if (digits == std::string_view::npos) continue;
        rest.remove_prefix(digits);
        std::uint64_t value = 0;
        auto [after, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (error != std::errc()) continue;
        std::string_view unit = rest.substr(static_cast<size_t>(after - rest.data()));
        while (!unit.empty() && unit.front() == ' ') unit.remove_prefix(1);
        if (unit.starts_with("kB")) value *= 1024;
        counters.emplace(std::string(line.substr(0, nameEnd)), value);
    }
    return counters;
}

int LinuxMemorySource::sample(MemoryCounts& counts) {
    std::string meminfoText, vmstatText;
    if (!readFile(context_.procRoot / "meminfo", meminfoText)) return errno ? errno : ENOENT;
    auto meminfo = parseCounters(meminfoText);
    if (!meminfo.count("MemTotal") || !meminfo.count("MemFree")) return EINVAL;

    auto field = [](const std::map<std::string, std::uint64_t>& map, const char* name) {
        auto it = map.find(name);
        return it == map.end() ? std::uint64_t{0} : it->second;
    };
    MemoryCounts sampled;
    // The memory present does not change while the program runs; count its blocks once.
    if (installed_ == 0) installed_ = installedMemory(context_, field(meminfo, "MemTotal"));
    sampled.total = installed_;
    sampled.free = field(meminfo, "MemFree");
    sampled.active = field(meminfo, "Active");
    sampled.inactive = field(meminfo, "Inactive");
    sampled.wired = field(meminfo, "Unevictable") + field(meminfo, "SUnreclaim") +
                    field(meminfo, "KernelStack") + field(meminfo, "PageTables");
    if (readFile(context_.procRoot / "vmstat", vmstatText)) {
        auto vmstat = parseCounters(vmstatText);
        sampled.pageIns = field(vmstat, "pgpgin") * 1024;
        sampled.pageOuts = field(vmstat, "pgpgout") * 1024;
        sampled.faults = field(vmstat, "pgfault") * pageSize_;
    }
    counts = sampled;
    return 0;
}

}  // namespace quillby
