#!/usr/bin/env bash
# Shows the program from a build folder. Until the desktop window is part of the build, this is
# the command line's headless view: the boot volume, every volume, memory and the machine facts.
set -euo pipefail
build="${1:-build/release}"
"$build/src/cli/quillby" overview
