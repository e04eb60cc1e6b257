#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Ui tests run again in real X11 windows under Xvfb instead of offscreen, with the desktop's
# accessibility bus on as when a screen reader runs: what a user does in one session (columns,
# back, rings, back; the overview's last clean) works with a real window system's focus, keys and
# painting, and the accessibility tree a screen reader reads through AT-SPI holds every page's
# names, figures, states and actions, with its announcements really sent.
# Usage: real_window_walks.sh UI_TESTS GTEST_FILTER
tests=$1 filter=$2
source "$(dirname "$0")/xvfb-session.sh"
need dbus-run-session dbus-send
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
export LSAN_OPTIONS="suppressions=$(dirname "$0")/xcb-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export QUILLBY_UI_PICTURES_DIR="$work/pictures"
# Qt's AT-SPI bridge comes up only where the desktop says a screen reader listens (say so) and
# finds the accessibility bus only once it runs (start it first, as a desktop session does).
export tests filter
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session -- bash -c '
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null
  exec "$tests" --gtest_filter="$filter"' 2> >(grep -v "Failed to set fd limit" >&2)
