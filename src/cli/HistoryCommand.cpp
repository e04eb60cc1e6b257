// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/CliOutput.h"
#include "core/events/FileLog.h"
#include "core/events/ParseFileLog.h"
#include "core/text/UtilityFunction.h"

namespace quillby {

void addHistoryCommand(CLI::App& app) {
    auto asJson = std::make_shared<bool>(false);
    auto* history = app.add_subcommand("history", "How much the last clean recovered, and when");
    history->add_flag("--json", *asJson, "Print JSON");
    history->callback([asJson] {
        ParseFileLog records;
        FileLog log;
        records.readFileLog("", log);
        std::string date = log.date ? dateDescription(*log.date) : "";
        std::string sizeText = UtilityFunction::convertVolSpace(log.iSize);
        if (*asJson) {
            printJson({{"kind", log.logName},
                       {"size", log.iSize},
                       {"sizeText", sizeText},
                       {"date", log.date ? nlohmann::json(date) : nlohmann::json(nullptr)}});
            return;
        }
        if (log.logName != "SIZE") {
            std::cout << "No clean has been recorded yet.\n";
            return;
        }
        std::cout << sizeText << " recovered by the last clean, "
                  << (log.date ? date : "at an unknown time") << "\n";
    });
}

}  // namespace quillby
