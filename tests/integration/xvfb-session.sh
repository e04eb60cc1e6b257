# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the real-window tests: an Xvfb display with a tray host, in a fresh home folder, all
# ended when the test ends.
set -euo pipefail

need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
      exit 77
    fi
  done
}
need Xvfb trayer xdotool xwininfo

work=$(mktemp -d /tmp/quillby-xvfb-XXXXXX)
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME WAYLAND_DISPLAY QT_QPA_PLATFORM
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
trayer --edge top --align right --widthtype request >/dev/null 2>&1 &
pids+=($!)

# Waits until a command succeeds, up to $1 seconds.
wait_for() {
  local seconds=$1; shift
  for _ in $(seq $((seconds * 20))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

# The geometry "x y w h" of the first window whose xwininfo line matches $1.
window_geometry() {
  xwininfo -root -tree | grep -E "$1" | head -n1 |
    sed -E 's/.* ([0-9]+)x([0-9]+)[+-][0-9-]+[+-][0-9-]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/'
}

# The tray icon's geometry once the program's icon is in the tray host.
wait_for_tray_icon() {
  wait_for 30 bash -c "xwininfo -root -tree | grep -qE '\"Quillby Pro\": \(\"quillby-pro\".*2[0-9]x2[0-9]'" ||
    fail "no tray icon appeared"
  read -r ix iy iw ih < <(window_geometry '"Quillby Pro": \("quillby-pro".*2[0-9]x2[0-9]')
}

# Opens the volume panel from the tray icon; sets px py pw ph to its geometry and fast_y and
# about_y to its "Fast Clean" and "About Quillby Pro" rows. Above the separator over "Quit" come
# "Fast Clean", "Scan", "Free Space", "Uninstall", "Main Window", "Preferences…" and "About
# Quillby Pro" (rows of 24 pixels, a separator of 3, a margin of 4).
open_panel() {
  xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
  wait_for 10 bash -c "xwininfo -root -tree | grep -qE ' 280x[0-9]{3,}\+'" || fail "the volume panel did not open"
  sleep 0.5
  read -r px py pw ph < <(window_geometry ' 280x[0-9]{3,}\+')
  local button=24
  fast_y=$((py + ph - 4 - button / 2 - button - 3 - 6 * button))
  about_y=$((py + ph - 4 - button / 2 - button - 3))
}
