#!/usr/bin/env bash
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

# The median wall time of a command over $runs runs, in milliseconds, after one warm-up run.
median_ms() {
  "$@" >/dev/null
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

ours=$(median_ms "$bench" measure "$corpus/tree")
du=$(median_ms du -sb --apparent-size "$corpus/tree")
echo "size walk: $files files, $measured bytes (matches find)"
echo "quillby size walk: ${ours} ms   du -sb --apparent-size: ${du} ms   (median of $runs, warm cache)"
awk -v o="$ours" -v d="$du" 'BEGIN { if (o < 1) o = 1; printf "du / quillby = %.2f (above 1: quillby is faster)\n", d / o }'
