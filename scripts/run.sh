#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the desktop program from a build folder. Without a display it says so and shows the
# command line's headless view instead: the boot volume, every volume, memory and machine facts.
set -euo pipefail
build="${1:-build/release}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/src/app/quillby-pro"
fi
echo "No display here, so the desktop program cannot open; this is its command line's overview."
echo
"$build/src/cli/quillby" overview
