#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Disk usage: times `quillby du` against du, gdu and ncdu on a generated corpus of about
# 1,000,000 files in 50,000 folders, with warm and (when permitted) cold caches, and reports
# peak memory; then times exporting the corpus as a scan file against the plain scan, reading
# ncdu's export of it against ncdu, a frame and a hit test of the ring page on the same tree, and a
# frame of the treemap.
# The corpus is made once under $QUILLBY_BENCH_DIR (default $TMPDIR/quillby-bench, never inside
# the repository) and reused. Exits 1 when quillby's total is wrong.
set -euo pipefail

build="$(cd "${1:-build/release}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="${QUILLBY_BENCH_DIR:-${TMPDIR:-/tmp}/quillby-bench}"
corpus="$work/diskusage-corpus"
warmRuns="${QUILLBY_BENCH_RUNS:-5}"
coldRuns="${QUILLBY_BENCH_COLD_RUNS:-3}"
quillby="$build/src/cli/quillby"
mkdir -p "$work/tools" "$work/home"

generator="$work/tools/diskusage-corpus"
if [ ! -x "$generator" ] || [ "$here/diskusage_corpus.cpp" -nt "$generator" ]; then
  g++ -O2 -std=c++20 -o "$generator" "$here/diskusage_corpus.cpp"
fi
"$generator" "$corpus"

for tool in du gdu ncdu /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh --bench"; exit 1; }
done
[ -x "$quillby" ] || { echo "missing $quillby: build the release first"; exit 1; }

# The commands under test, each printing one total.
export LC_ALL=C
cmd_quillby=(env HOME="$work/home" "$quillby" du "$corpus" --depth 0 --json --no-keep)
cmd_du=(du -s -B1 --apparent-size "$corpus")
cmd_gdu=(gdu -npsa --no-prefix "$corpus")
cmd_ncdu=(ncdu -0 -x -o /dev/null "$corpus")
tools=(quillby du gdu ncdu)

# Correctness first: our total must equal the sum of st_size of every non-folder.
expected="$(find "$corpus" ! -type d -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f", s }')"
ours="$("${cmd_quillby[@]}" | sed -n 's/^ *"size": \([0-9]*\).*/\1/p' | head -1)"
echo "corpus: $corpus"
echo "total: quillby $ours bytes, find $expected bytes (du and gdu count each hard-linked file once)"
if [ "$ours" != "$expected" ]; then
  echo "FAILED: quillby du's total differs from find's"
  exit 1
fi

can_drop=0
if [ -w /proc/sys/vm/drop_caches ] && (sync && echo 3 > /proc/sys/vm/drop_caches) 2>/dev/null; then
  can_drop=1
fi

# One timed run of a tool: appends "seconds peak-kilobytes cpu-seconds" to its results of the
# phase. CPU time (user + system, all threads) says more than wall time on a busy machine.
measure() {
  local tool="$1" phase="$2" out="$work/tools/time.out" start end
  local -n command="cmd_$tool"
  start="$EPOCHREALTIME"
  /usr/bin/time -o "$out" -f "%M %U %S" "${command[@]}" >/dev/null 2>&1
  end="$EPOCHREALTIME"
  tail -1 "$out" | awk -v s="$start" -v e="$end" '{ printf "%.4f %d %.2f\n", e - s, $1, $2 + $3 }' \
    >> "$work/tools/$tool.$phase"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

report() {
  local phase="$1" runs="$2" oursTime oursMemory
  echo
  echo "$phase cache (median of $runs runs, peak resident memory)"
  printf '  %-8s %9s %9s %8s %13s\n' tool seconds "peak MB" "cpu s" "peer/quillby"
  oursTime="$(cut -d' ' -f1 "$work/tools/quillby.$phase" | median)"
  oursMemory="$(cut -d' ' -f2 "$work/tools/quillby.$phase" | median)"
  for tool in "${tools[@]}"; do
    local seconds memory cpu
    seconds="$(cut -d' ' -f1 "$work/tools/$tool.$phase" | median)"
    memory="$(cut -d' ' -f2 "$work/tools/$tool.$phase" | median)"
    cpu="$(cut -d' ' -f3 "$work/tools/$tool.$phase" | median)"
    awk -v t="$tool" -v s="$seconds" -v m="$memory" -v c="$cpu" -v o="$oursTime" \
      'BEGIN { printf "  %-8s %9.3f %9.1f %8.2f %12.2fx\n", t, s, m / 1024, c, s / o }'
    if [ "$phase" = warm ] && [ "$tool" != quillby ]; then
      local target=1.5
      [ "$tool" = ncdu ] && target=3
      awk -v s="$seconds" -v o="$oursTime" -v t="$target" -v n="$tool" \
        'BEGIN { printf "           target %sx faster than %s: %s\n", t, n, (s / o >= t ? "met" : "MISSED") }'
    fi
    if [ "$tool" = gdu ]; then
      echo "           target less memory than gdu: $([ "$oursMemory" -lt "$memory" ] && echo met || echo MISSED)"
    fi
  done
}

rm -f "$work"/tools/*.warm "$work"/tools/*.cold
for tool in "${tools[@]}"; do  # warm the cache
  declare -n command="cmd_$tool"
  "${command[@]}" >/dev/null 2>&1
done
for ((round = 0; round < warmRuns; round++)); do
  for tool in "${tools[@]}"; do measure "$tool" warm; done
done
report warm "$warmRuns"

# Scan files: exporting the corpus against the plain scan, and reading ncdu's own export of it
# against ncdu reading it (ncdu -f reads a file non-interactively only when it writes it out
# again, so its time includes writing to /dev/null).
ncduExport="$work/tools/ncdu-export.json"
if [ ! -s "$ncduExport" ] || [ "$work/diskusage-corpus.complete" -nt "$ncduExport" ]; then
  ncdu -0 -o "$ncduExport" "$corpus"
fi
cmd_export=(env HOME="$work/home" "$quillby" du "$corpus" --export "$work/tools/quillby-export.json")
cmd_import=(env HOME="$work/home" "$quillby" du --import "$ncduExport" --depth 0 --json)
cmd_ncdu_import=(ncdu -0 -f "$ncduExport" -o /dev/null)
imported="$("${cmd_import[@]}" | sed -n 's/^ *"size": \([0-9]*\).*/\1/p' | head -1)"
"${cmd_export[@]}"
reimported="$(env HOME="$work/home" "$quillby" du --import "$work/tools/quillby-export.json" \
  --depth 0 --json | sed -n 's/^ *"size": \([0-9]*\).*/\1/p' | head -1)"
echo
echo "scan files: ncdu's export imports to $imported bytes, ours to $reimported bytes"
if [ "$imported" != "$expected" ] || [ "$reimported" != "$expected" ]; then
  echo "FAILED: an imported total differs from find's"
  exit 1
fi
rm -f "$work"/tools/*.files
for ((round = 0; round < warmRuns; round++)); do
  for tool in quillby export import ncdu_import; do measure "$tool" files; done
done
fileMedian() { cut -d' ' -f"$2" "$work/tools/$1.files" | median; }
echo
echo "scan files, warm cache (median of $warmRuns runs; $(du -h "$ncduExport" | cut -f1) ncdu export)"
printf '  %-34s %9s %9s %8s\n' command seconds "peak MB" "cpu s"
for tool in quillby export import ncdu_import; do
  case "$tool" in
    quillby) label="quillby du (scan)" ;;
    export) label="quillby du --export (scan + write)" ;;
    import) label="quillby du --import ncdu's file" ;;
    ncdu_import) label="ncdu -f ncdu's file -o /dev/null" ;;
  esac
  printf '  %-34s %9.3f %9.1f %8.2f\n' "$label" "$(fileMedian "$tool" 1)" \
    "$(awk -v m="$(fileMedian "$tool" 2)" 'BEGIN { print m / 1024 }')" "$(fileMedian "$tool" 3)"
done
awk -v e="$(fileMedian export 1)" -v s="$(fileMedian quillby 1)" \
  -v ec="$(fileMedian export 3)" -v sc="$(fileMedian quillby 3)" 'BEGIN {
  printf "  export / scan: %.2fx wall, %.2fx cpu; target at most 1.25x: %s\n", e / s, ec / sc,
    (e / s <= 1.25 ? "met" : "MISSED") }'
awk -v n="$(fileMedian ncdu_import 1)" -v q="$(fileMedian import 1)" 'BEGIN {
  printf "  ncdu -f / quillby --import: %.2fx; target faster than ncdu: %s\n", n / q,
    (q < n ? "met" : "MISSED") }'

if [ "$can_drop" = 1 ]; then
  for ((round = 0; round < coldRuns; round++)); do
    for tool in "${tools[@]}"; do
      sync
      echo 3 > /proc/sys/vm/drop_caches
      measure "$tool" cold
    done
  done
  report cold "$coldRuns"
else
  echo
  echo "cold cache: skipped (writing /proc/sys/vm/drop_caches needs root)"
fi
# The charts on the same tree: a frame of the ring page (drawScene and the paint of the page), a
# hit test and the page's peak memory after the scan, then a frame of the treemap (the layout of
# the visible levels and their paint).
charts="$build/bench/diskusage_chart_bench"
if [ -x "$charts" ]; then
  echo
  echo "ring page and treemap (warm cache)"
  HOME="$work/home" QT_QPA_PLATFORM=offscreen "$charts" "$corpus" | sed 's/^/  /'
fi
echo
echo "Note: timings on a shared or busy machine are noisy; compare ratios from one run."
