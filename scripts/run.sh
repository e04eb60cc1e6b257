#!/usr/bin/env bash
# Starts the desktop program from a build folder; without a display it says so and shows the
# command line's view instead.
set -euo pipefail
build="${1:-build/release}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/src/monitor/quillby-pro" ]; then
  exec "$build/src/monitor/quillby-pro"
fi
echo "No display here: showing the command line instead."
echo
"$build/src/cli/quillby" --help
echo
"$build/src/cli/quillby" settings list
