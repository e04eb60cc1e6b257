#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The duplicate finder against its peers. Usage: bench/duplicates.sh [RELEASE_BUILD_FOLDER]
#  1. CRC-64 throughput on one core, with ISA-L and with the table implementation.
#  2. quillby dupes, jdupes, rmlint (as installed, and without its extent mapping) and fdupes
#     on one generated corpus, with the page cache warm and then dropped before every run:
#     best and median times, peak memory, and the group counts, which must agree.
#  3. The floor: only the reads the search cannot avoid (the first KiB of every file sharing its
#     size, the whole of every file sharing its first KiB too), on as many threads, in the same
#     rounds; quillby's time over it says how far the search is from the disk's pace.
#  4. quillby's peak memory on a second corpus of 2 GB in about 12 600 files, five of them large
#     (warm runs; the first corpus goes before it is written).
# DUPES_BENCH_SCALE (default 1: about 42 000 files, 1.3 GB) sizes the corpus; DUPES_BENCH_RUNS
# (default 3) sets the runs per tool and cache state; TMPDIR says where the corpus goes.
# Cold runs need root (they write /proc/sys/vm/drop_caches) and are skipped otherwise.
set -euo pipefail

build="$(cd "${1:-build/release}" && pwd)"
scale="${DUPES_BENCH_SCALE:-1}"
runs="${DUPES_BENCH_RUNS:-3}"
quillby="$build/src/cli/quillby"
work="$(mktemp -d "${TMPDIR:-/var/tmp}/quillby-dupes-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus"
mkdir -p "$work/home" "$work/out"

echo "-- CRC-64, one core, 4 MiB buffers (rate over CPU time; the wall figure beside it)"
"$build/bench/quillby_bench_crc64" --benchmark_format=csv --benchmark_min_time=1 2>/dev/null |
  awk -F, 'NR > 1 {
      name = $1; gsub(/"/, "", name); sub(/\/4194304$/, "", name)
      wall = 4194304 / ($3 * 1e-9) / 1e9
      target = (name ~ /isa-l/) ? 8 : 1.5
      printf "%-14s %6.2f GB/s (wall %6.2f GB/s)  target >= %s GB/s: %s\n", name,
             $6 / 1e9, wall, target, ($6 / 1e9 >= target) ? "met" : "NOT MET"
  }'

echo "-- corpus"
"$build/bench/quillby_dupes_corpus" "$corpus" "$scale"
"$build/bench/quillby_dupes_floor" plan "$corpus" "$work/floor.plan"

# name|command; every tool: non-empty files only, hard links count as copies, hidden files
# included, symbolic links not followed.
tools=("quillby|env HOME=$work/home $quillby dupes $corpus --min-size 0 --hidden --csv")
command -v jdupes > /dev/null && tools+=("jdupes|jdupes -r -H -q $corpus")
command -v rmlint > /dev/null && tools+=(
  "rmlint|rmlint -T df --hidden -o fdupes:stdout $corpus"
  "rmlint-nofiemap|rmlint -T df --hidden --without-fiemap -o fdupes:stdout $corpus")
command -v fdupes > /dev/null && tools+=("fdupes|fdupes -r -H -n -q $corpus")
tools+=("floor|$build/bench/quillby_dupes_floor read $work/floor.plan")

warm_cache() { find "$corpus" -type f -print0 | xargs -0 cat > /dev/null; }
can_drop=0
if [ -w /proc/sys/vm/drop_caches ]; then can_drop=1; fi
drop_cache() { sync; echo 3 > /proc/sys/vm/drop_caches; }

cached_share() {
  command -v fincore > /dev/null || { echo "?"; return; }
  find "$corpus" -type f -size +0 -print0 | xargs -0 fincore -b -n 2> /dev/null |
    awk '{ held += $2; pages += int(($3 + 4095) / 4096) }
      END { printf "%.0f%%", pages ? 100 * held / pages : 0 }'
}

# run STATE ROUND TOOL COMMAND: one timed run; its output is kept for the group count.
run() {
  local state="$1" round="$2" name="$3" command="$4"
  (cd "$work" && /usr/bin/time -f "%e %U %S %M" -o "$work/out/$name.$state.$round.time" \
    bash -c "$command" > "$work/out/$name.groups" 2> /dev/null)
}

# rounds STATE PREPARE: every tool once per round, PREPARE run before each run; interleaving the
# tools spreads the machine's changing load evenly over them. Each round takes them in a new
# order: on a virtual disk how fast a run reads depends on the run before it, so no tool may
# always follow the same one.
rounds() {
  for round in $(seq "$runs"); do
    for index in $(shuf -e "${!tools[@]}"); do
      entry="${tools[$index]}"
      "$2"
      run "$1" "$round" "${entry%%|*}" "${entry#*|}"
    done
  done
}

echo "-- warm runs (cache filled before each run; share of the corpus cached before the first)"
warm_cache
echo "cached: $(cached_share)"
rounds warm warm_cache
if [ "$can_drop" = 1 ]; then
  echo "-- cold runs (page cache dropped before each run)"
  rounds cold drop_cache
else
  echo "-- cold runs skipped: writing /proc/sys/vm/drop_caches needs root"
fi

# Statistics of one tool and state: "best median peak-kB".
stats() {
  local files=("$work/out/$1.$2".*.time)
  [ -e "${files[0]}" ] || { echo "- - -"; return; }
  cat "${files[@]}" | sort -n | awk '{ t[NR] = $1; if ($4 > m) m = $4 }
    END { printf "%s %s %s", t[1], t[int((NR + 1) / 2)], m }'
}

# Groups found, bundles aside: quillby's file groups (its bundle groups are counted apart);
# the peers' groups with no member inside a bundle (they know no bundles) and with more than one
# file among their names (quillby lists no group whose names are all hard links of one file).
count_groups() {
  if [ "$1" = floor ]; then
    echo -
  elif [ "$1" = quillby ]; then
    awk -F, 'NR > 1 && $4 != "APP" { seen[$1] = 1 } END { print length(seen) }' "$work/out/quillby.groups"
  else
    perl -e 'local $/ = ""; my $n = 0;
      while (<>) {
        next if lc($_) =~ m{\.app/};
        my %files;
        for my $path (grep { length } split /\n/) {
          my @st = lstat $path;
          $files{"$st[0]:$st[1]"} = 1 if @st;
        }
        $n++ if keys(%files) > 1;
      }
      print "$n\n"' "$work/out/$1.groups"
  fi
}

echo "-- results (seconds; noisy when the machine is shared)"
printf "%-16s %10s %10s %10s %10s %10s %8s\n" tool warm-best warm-med cold-best cold-med peak-MB groups
declare -A best
for entry in "${tools[@]}"; do
  name="${entry%%|*}"
  read -r warm_best warm_med warm_peak <<< "$(stats "$name" warm)"
  read -r cold_best cold_med cold_peak <<< "$(stats "$name" cold)"
  peak="$warm_peak"
  if [ "$cold_peak" != - ] && [ "$cold_peak" -gt "$peak" ]; then peak="$cold_peak"; fi
  best[$name.warm]="$warm_best"
  best[$name.cold]="$cold_best"
  best[$name.groups]="$(count_groups "$name")"
  printf "%-16s %10s %10s %10s %10s %10.1f %8s\n" "$name" "$warm_best" "$warm_med" "$cold_best" \
    "$cold_med" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "${best[$name.groups]}"
done
echo "quillby bundle groups: $(awk -F, 'NR > 1 && $4 == "APP" { seen[$1] = 1 } END { print length(seen) }' "$work/out/quillby.groups")"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b == 0) print "-"; else printf "%.2f", a / b }'; }
echo "-- ratios (peer time / quillby time, best runs)"
for entry in "${tools[@]:1}"; do
  name="${entry%%|*}"
  [ "$name" = floor ] && continue
  agree="groups agree"
  [ "${best[$name.groups]}" = "${best[quillby.groups]}" ] || agree="GROUPS DIFFER (${best[$name.groups]} vs ${best[quillby.groups]})"
  printf "%-16s warm %6s  cold %6s  %s\n" "$name" \
    "$(ratio "${best[$name.warm]}" "${best[quillby.warm]}")" \
    "$(ratio "${best[$name.cold]}" "${best[quillby.cold]}")" "$agree"
done
printf "%-16s warm %6s  cold %6s\n" "quillby / floor" \
  "$(ratio "${best[quillby.warm]}" "${best[floor.warm]}")" \
  "$(ratio "${best[quillby.cold]}" "${best[floor.cold]}")"

echo "-- quillby on a 2 GB corpus of few large files (warm): seconds and peak memory"
rm -rf "$corpus"
large="$work/corpus-large"
"$build/bench/quillby_dupes_corpus" "$large" 0.29 420
warm_large() { find "$large" -type f -print0 | xargs -0 cat > /dev/null; }
for round in $(seq "$runs"); do
  warm_large
  /usr/bin/time -f "%e %M" -o "$work/out/large.$round.time" \
    env HOME="$work/home" "$quillby" dupes "$large" --min-size 0 --hidden --csv > /dev/null 2>&1
done
cat "$work/out"/large.*.time | sort -n | awk '{ t[NR] = $1; if ($2 > m) m = $2 }
  END { printf "best %s s, median %s s, peak %.1f MB\n", t[1], t[int((NR + 1) / 2)], m / 1024 }'

echo "targets: jdupes warm >= 2, cold >= 1.5; rmlint > 1 in both; quillby / floor cold <= 1.2;"
echo "quillby peak memory < 16 MB on both corpora"
