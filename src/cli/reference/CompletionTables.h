// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "cli/reference/CommandReference.h"

namespace quillby {

// The command tables that the hand-written completion functions of each shell read: the
// subcommands and options of every command, what each option's value and each positional
// argument can be, the setting keys and the clean categories.
namespace CompletionTables {
std::string bash(const CommandReference& root);
std::string zsh(const CommandReference& root);
std::string fish(const CommandReference& root);
// How the tables name what a value can be: "file", "setting", "words:on,off"...; a trailing
// "?" marks a value that may be left out, a trailing "..." an argument that takes several values.
std::string kindWord(const ArgumentReference& argument);
}  // namespace CompletionTables

}  // namespace quillby
