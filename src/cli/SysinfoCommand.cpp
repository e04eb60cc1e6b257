// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/CliOutput.h"
#include "sysinfo/ComputerInfoRows.h"

namespace quillby {

std::string sysinfoText(const MachineFacts& facts) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : computerInfoRows(facts)) rows.push_back({row.title, row.value});
    return formatTable(rows);
}

nlohmann::ordered_json sysinfoJson(const MachineFacts& facts) {
    static const char* const keys[] = {"model",  "cpuVendor", "cpuBrand", "memory",
                                       "osType", "osRelease", "hostname"};
    auto rows = computerInfoRows(facts);
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (size_t i = 0; i < rows.size(); ++i) object[keys[i]] = rows[i].value;
    return object;
}

void addSysinfoCommand(CLI::App& app) {
    auto asJson = std::make_shared<bool>(false);
    auto* sysinfo =
        app.add_subcommand("sysinfo", "The machine's model, processor, memory and system");
    sysinfo->add_flag("--json", *asJson, "Print JSON");
    sysinfo->callback([asJson] {
        MachineFacts facts = MachineFacts::read();
        if (*asJson) {
            printOrderedJson(sysinfoJson(facts));
        } else {
            std::cout << sysinfoText(facts);
        }
    });
}

}  // namespace quillby
