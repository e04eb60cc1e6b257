// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/CliOutput.h"
#include "core/text/UtilityFunction.h"
#include "memory/ClearMemory.h"
#include "memory/cleanMemoryInfo.h"
#include "platform/Services.h"

namespace quillby {

namespace {

struct WatchOptions {
    bool asJson = false;
    std::string interval;  // seconds; "" when --watch has no value
    bool watch = false;
    long count = 0;  // 0: for ever
};

MemoryFigures sampleOrFail(ClearMemory& memory) {
    MemoryFigures info{};
    if (int error = memory.getMemoryInfo(&info); error != 0) {
        throw CliFailure("cannot read the memory figures (error " + std::to_string(error) + ")", 1);
    }
    return info;
}

double intervalSeconds(const std::string& text) {
    if (text.empty()) return 1.0;
    char* end = nullptr;
    double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0 ||
        seconds > 86400) {
        throw usageError("--watch needs an interval in seconds (a number above 0), not '" + text +
                         "'");
    }
    return seconds;
}

std::string watchLine(const MemoryFigures& info) {
    cleanMemoryInfo texts = cleanMemoryInfo::fromMemoryInfo(info);
    return "free " + texts.freeMem + "  active " + texts.activeMem + "  inactive " +
           texts.inactiveMem + "  wired " + texts.wiredMem + "  used " + texts.usedMem +
           "  total " + texts.totalMem;
}

void showMemory(const WatchOptions& options) {
    ClearMemory memory;
    if (!options.watch) {
        MemoryFigures info = sampleOrFail(memory);
        if (options.asJson) {
            printOrderedJson(memoryJson(info));
        } else {
            std::cout << memoryText(info);
        }
        return;
    }
    auto pause = std::chrono::duration<double>(intervalSeconds(options.interval));
    for (long shown = 0; options.count == 0 || shown < options.count; ++shown) {
        if (shown > 0) std::this_thread::sleep_for(pause);
        MemoryFigures info = sampleOrFail(memory);
        // One line per sample, so that the output can be followed with a pipe.
        std::cout << (options.asJson ? memoryJson(info).dump() : watchLine(info)) << std::endl;
    }
}

void purge() {
    auto launcher = Services::get<ProcessLauncher>();
    if (!launcher) throw CliFailure("cannot start programs on this platform", 1);
    PurgeTools tools = PurgeTools::find(*launcher);
    // The "fr" mode belongs to the desktop program; this command has none of its own.
    tools.selfExecutable = launcher->findTool("quillby-pro");
    ClearMemory memory(nullptr, launcher, tools);
    MemoryFigures before = sampleOrFail(memory);
    memory.clearMemory();
    while (memory.isRuning()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    MemoryFigures after = sampleOrFail(memory);

    // The change in free memory says something only when the caches were really dropped.
    std::string failure = memory.purgeFailure();
    if (!failure.empty()) throw CliFailure("the caches were not dropped: " + failure, 1);
    std::uint64_t freed =
        after[kMemFree] > before[kMemFree] ? after[kMemFree] - before[kMemFree] : 0;
    std::cout << UtilityFunction::covertCleanMemory(freed) << " freed.\n";
}

}  // namespace

std::string memoryText(const MemoryFigures& info) {
    cleanMemoryInfo texts = cleanMemoryInfo::fromMemoryInfo(info);
    return formatTable({{"Free", texts.freeMem},
                        {"Active", texts.activeMem},
                        {"Inactive", texts.inactiveMem},
                        {"Wired", texts.wiredMem},
                        {"Used", texts.usedMem},
                        {"Total", texts.totalMem}});
}

nlohmann::ordered_json memoryJson(const MemoryFigures& info) {
    return {{"free", info[kMemFree]},       {"inactive", info[kMemInactive]},
            {"active", info[kMemActive]},   {"wired", info[kMemWired]},
            {"used", info[kMemUsed]},       {"total", info[kMemTotal]},
            {"pageins", info[kMemPageIns]}, {"pageouts", info[kMemPageOuts]},
            {"faults", info[kMemFaults]}};
}

void addMemoryCommands(CLI::App& app) {
    auto options = std::make_shared<WatchOptions>();
    auto* memory =
        app.add_subcommand("memory", "Free, active, inactive, wired, used and total memory");
    memory->add_flag("--json", options->asJson, "Print JSON (one object per line with --watch)");
    auto* watch = memory->add_option("--watch", options->interval,
                                     "Print a new sample every SECONDS (default 1) until stopped");
    watch->expected(0, 1);
    memory->add_option("--count", options->count, "With --watch: stop after N samples")
        ->check(CLI::PositiveNumber);
    memory->callback([options, watch] {
        options->watch = watch->count() > 0;
        showMemory(*options);
    });

    auto* purgeCommand = app.add_subcommand(
        "purge",
        "Drop the system's file caches (through quillby-helper) and say how much was freed");
    purgeCommand->callback(purge);
}

}  // namespace quillby
