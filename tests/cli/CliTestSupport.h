#pragma once

#include <string>
#include <vector>

#include "support/ProcessRunner.h"
#include "support/TempDir.h"

// Runs the real quillby command with HOME in a temporary folder (and no XDG variables, so every
// folder is HOME's default).
class CliHome {
  public:
    ProcessResult run(const std::vector<std::string>& arguments,
                      const std::string& input = "") const {
        return runProcess(QUILLBY_CLI_PATH, arguments, {{"HOME", home.path().string()}}, input);
    }
    std::filesystem::path preferences() const {
        return home / ".config/com.quillby.pro/preferences.json";
    }
    std::filesystem::path dataFolder() const { return home / ".local/share/com.quillby.pro"; }

    TempDir home;
};
