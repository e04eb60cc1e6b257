// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <CLI/CLI.hpp>

namespace quillby {

// Declares every command and option of `quillby` on `app`. The program, its manual page and its
// shell completions are all built from this one definition.
void defineQuillbyCommandLine(CLI::App& app);

}  // namespace quillby
