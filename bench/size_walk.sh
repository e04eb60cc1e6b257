#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The size walk against `du -sb --apparent-size` on a generated tree (warm cache). Also checks
# that the walk's total equals the sizes find lists for everything that is not a folder.
set -euo pipefail
build="${1:-build/release}"
bench="$build/bench/size_walk_bench"
files="${SIZE_WALK_FILES:-200000}"
runs="${SIZE_WALK_RUNS:-5}"
corpus="$(mktemp -d "${TMPDIR:-/tmp}/quillby-bench-XXXXXX")"
trap 'rm -rf "$corpus"' EXIT

"$bench" generate "$corpus/tree" "$files"
expected=$(find "$corpus/tree" ! -type d -printf '%s\n' | awk '{s += $1} END {printf "%.0f", s}')
measured=$("$bench" measure "$corpus/tree")
if [ "$measured" != "$expected" ]; then
  echo "size walk gave $measured bytes, find lists $expected" >&2
  exit 1
fi

# Medians over $runs runs (after one warm-up run) of a command's wall time and of its processor
# time (user + system), in milliseconds. Processor time suffers less from a busy machine.
medians_ms() {
  "$@" >/dev/null
  local walls=() cpus=()
  for _ in $(seq "$runs"); do
    local TIMEFORMAT='%R %U %S' timing
    timing=$( { time "$@" >/dev/null; } 2>&1 )
    read -r real user sys <<<"$timing"
    walls+=("$(awk -v r="$real" 'BEGIN { printf "%d", r * 1000 }')")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')")
  done
  local middle=$(((runs + 1) / 2))
  echo "$(printf '%s\n' "${walls[@]}" | sort -n | sed -n "${middle}p")" \
       "$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "${middle}p")"
}

read -r ours_wall ours_cpu < <(medians_ms "$bench" measure "$corpus/tree")
read -r du_wall du_cpu < <(medians_ms du -sb --apparent-size "$corpus/tree")
echo "size walk: $files files, $measured bytes (matches find); medians of $runs runs, warm cache"
echo "  quillby size walk:        ${ours_wall} ms wall, ${ours_cpu} ms processor"
echo "  du -sb --apparent-size:   ${du_wall} ms wall, ${du_cpu} ms processor"
awk -v o="$ours_wall" -v d="$du_wall" -v oc="$ours_cpu" -v dc="$du_cpu" 'BEGIN {
  if (o < 1) o = 1; if (oc < 1) oc = 1
  printf "  du / quillby: %.2f wall, %.2f processor (above 1: quillby is faster)\n", d / o, dc / oc
}'
