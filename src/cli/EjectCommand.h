#pragma once

namespace CLI {
class App;
}

// quillby eject REF|PATH|--all: ejects one volume (by reference number or mount point) or all
// ejectable ones.
void addEjectCommand(CLI::App& app);
