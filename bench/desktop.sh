#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The idle desktop program: CPU per 2-second tick and resident memory, measured on the release
# build under Xvfb with a tray host, the window closed as after a start at login.
# Usage: bench/desktop.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
source "$(dirname "$0")/../tests/integration/xvfb-session.sh"

cpu_ns() {  # CPU time of every thread of process $1, in nanoseconds
  local total=0
  for task in /proc/"$1"/task/*; do
    read -r ns _ < "$task/schedstat" 2>/dev/null || continue
    total=$((total + ns))
  done
  echo "$total"
}

wait_for 10 xwininfo -root -tree -name panel
mkdir -p "$HOME/.config/com.quillby.pro"
echo '{"LoginCheck": 1}' > "$HOME/.config/com.quillby.pro/preferences.json"
"$build/src/app/quillby-pro" >/dev/null 2>&1 &
pid=$!
pids+=($pid)
wait_for 30 bash -c "xwininfo -root -tree | grep -qE '\"Quillby Pro\": \(\"quillby-pro\".*2[0-9]x2[0-9]'"
sleep 6  # start-up and the first ticks
seconds=40
before=$(cpu_ns "$pid")
sleep "$seconds"
after=$(cpu_ns "$pid")
ticks=$((seconds * 1000 / 2000))
rss=$(awk '/VmRSS/ {print $2}' /proc/"$pid"/status)
peak=$(awk '/VmHWM/ {print $2}' /proc/"$pid"/status)
awk -v cpu=$((after - before)) -v ticks=$ticks -v rss="$rss" -v peak="$peak" 'BEGIN {
  printf "idle desktop program: %.2f ms CPU per tick (target < 2 ms), resident %.1f MB (peak %.1f MB, target < 80 MB)\n",
         cpu / ticks / 1e6, rss / 1024, peak / 1024 }'
