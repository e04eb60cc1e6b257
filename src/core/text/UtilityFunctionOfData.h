// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/settings/SettingItems.h"

namespace quillby {

// Readers of settings and form texts, shared by the agent and the pages.
class UtilityFunctionOfData {
  public:
    // The process-wide instance, made on first call.
    static UtilityFunctionOfData& getMyData();

    // A fresh snapshot of the current settings.
    SettingItems readerTxtForSettingValue() const;

    // Splits "name=value&name=value" into pairs; pieces without exactly one "=" are skipped.
    // Nothing for no text.
    std::optional<std::map<std::string, std::string>> parseFormBodyWith(
        const std::optional<std::string>& body) const;
};

}  // namespace quillby
