#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark of bench/ against the peers on generated corpora and prints ratios.
set -euo pipefail
build="${1:-build/release}"
shopt -s nullglob
ran=0
for script in bench/*.sh; do
  echo "== $script"
  "$script" "$build"
  ran=1
done
[ "$ran" = 1 ] || echo "No benchmarks yet."
