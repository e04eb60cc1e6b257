// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "cli/reference/CommandReference.h"

namespace quillby {

// troff text for the manual page of quillby, made from its command tree.
namespace ManPageWriter {
// The top-level options (--help, --version) as .TP paragraphs.
std::string options(const CommandReference& root);
// A .SS section per command, with its synopsis, description and options, depth first.
std::string commands(const CommandReference& root);
// `text` with the characters troff would take as requests or escapes made literal.
std::string escape(const std::string& text);
}  // namespace ManPageWriter

}  // namespace quillby
