#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a libFuzzer target for a few seconds over its seed corpus. New inputs and any crash file
# go to a temporary folder that is removed afterwards; libFuzzer prints a failing input itself.
set -eu
fuzzer=$1
seeds=$2
seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cd "$work"
"$fuzzer" -max_total_time="$seconds" -seed=1 -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$seeds"
