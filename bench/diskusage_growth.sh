#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What grew since the last scan: two scan files of about 1,000,000 files in 50,000 folders, the
# second changed; times reading the earlier one and the changes of the listed levels as the ring
# page makes them, and sets the peak memory of that (with the current tree held) against the
# peak memory of holding one tree. Targets: under 1 s and under 2x. The corpus lives under
# $TMPDIR and is removed at exit.
set -euo pipefail

build="$(cd "${1:-build/release}" && pwd)"
bench="$build/bench/diskusage_growth_bench"
[ -x "$bench" ] || { echo "missing $bench: build the release first"; exit 1; }
command -v /usr/bin/time >/dev/null || { echo "missing /usr/bin/time"; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/quillby-growth.XXXXXX")"
trap 'rm -rf "$work"' EXIT

"$bench" generate "$work"
echo "scans: $(du -h "$work/before.json" | cut -f1) and $(du -h "$work/after.json" | cut -f1)"

runs="${QUILLBY_BENCH_RUNS:-3}"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -o "$work/one.time" -f "%M" "$bench" one "$work/after.json"
  tail -1 "$work/one.time" >> "$work/one.memory"
  /usr/bin/time -o "$work/diff.time" -f "%M" "$bench" diff "$work/after.json" "$work/before.json" \
    | cut -d' ' -f1 >> "$work/diff.seconds"
  tail -1 "$work/diff.time" >> "$work/diff.memory"
done
seconds="$(median < "$work/diff.seconds")"
one="$(median < "$work/one.memory")"
both="$(median < "$work/diff.memory")"
awk -v s="$seconds" -v one="$one" -v both="$both" 'BEGIN {
  ratio = both / one
  printf "growth diff (median of runs): %.3f s to read the earlier scan and list the changes (target < 1 s)\n", s
  printf "peak memory: one tree %.1f MB, with the earlier scan and the changes %.1f MB: %.2fx (target < 2x)\n",
    one / 1024, both / 1024, ratio
  if (s >= 1 || ratio >= 2) print "MISSED a target"
}'
