#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Page walks of the ui tests, run again in real X11 windows under Xvfb instead of offscreen:
# what a user does in one session (columns, back, rings, back; the overview's last clean) works
# with a real window system's focus, keys and painting.
# Usage: real_window_walks.sh UI_TESTS GTEST_FILTER
tests=$1 filter=$2
source "$(dirname "$0")/xvfb-session.sh"
export LSAN_OPTIONS="suppressions=$(dirname "$0")/xcb-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
QT_QPA_PLATFORM=xcb "$tests" --gtest_filter="$filter"
