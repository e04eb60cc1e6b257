#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the monitor's commands against the tools people use instead: `quillby volumes` against
# `df`, `quillby memory` against `free`, `quillby sysinfo` against `uname -a`. Prints
# milliseconds per run and our time over the peer's.
set -euo pipefail
build="${1:-build/release}"
quillby="$build/src/cli/quillby"
runs="${QUILLBY_BENCH_RUNS:-100}"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT

# Milliseconds per run of a command, over $runs runs.
per_run() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do HOME="$home" "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  awk -v ns="$((end - start))" -v n="$runs" 'BEGIN { printf "%.3f", ns / 1000000 / n }'
}

compare() {
  local name="$1" peer="$2"
  shift 2
  local ours theirs
  ours=$(per_run "$quillby" $name)
  theirs=$(per_run $peer)
  printf '%-22s %8s ms   %-18s %8s ms   ratio %s\n' "quillby $name" "$ours" "$peer" "$theirs" \
    "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')"
}

compare "volumes --json" "df -P"
compare "memory --json" "free -b"
compare "sysinfo --json" "uname -a"
