#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The duplicate page's results for a search with 50 000 groups: the time to the outline's first
# rows and of each sort, offscreen. Usage: bench/duplicate_results.sh [RELEASE_BUILD_FOLDER]
set -euo pipefail
build="$(cd "${1:-build/release}" && pwd)"
echo "-- results model and outline, 50 000 groups (best of 3 runs per figure)"
for run in 1 2 3; do
  QT_QPA_PLATFORM=offscreen "$build/bench/quillby_bench_duplicate_results" 50000 || true
done
