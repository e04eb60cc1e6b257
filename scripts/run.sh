#!/usr/bin/env bash
# Shows the program from a build folder. Until the desktop window is part of the build, this is
# the command line's view: its usage and the current settings.
set -euo pipefail
build="${1:-build/release}"
"$build/src/cli/quillby" --help
echo
"$build/src/cli/quillby" settings list
