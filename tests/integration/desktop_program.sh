#!/usr/bin/env bash
# The real desktop program under Xvfb: it starts with its tray icon and main window, a second
# start brings the first one's window back, the tray icon opens the volume panel, and the panel's
# quit command ends the program with status 1.
# Usage: desktop_program.sh QUILLBY_PRO SCREEN_GRAB PICTURES_DIR
program=$1 grab=$2 pictures=$3
source "$(dirname "$0")/xvfb-session.sh"
mkdir -p "$pictures"
fail() { echo "FAIL: $*"; xwininfo -root -tree | grep -i quillby || true; exit 1; }

wait_for 10 xwininfo -root -tree -name panel || fail "the tray host did not start"
"$program" >"$work/out.txt" 2>&1 &
first=$!
pids+=($first)

wait_for 30 bash -c "xwininfo -root -tree | grep -qE '\"Quillby Pro\": \(\"quillby-pro\".*2[0-9]x2[0-9]'" ||
  fail "no tray icon appeared"
wait_for 10 xdotool search --onlyvisible --name '^Quillby Pro$' || fail "the main window did not open"

# A second start hands over to the first and ends at once.
window=$(xdotool search --onlyvisible --name '^Quillby Pro$' | head -n1)
xdotool windowfocus --sync "$window"
xdotool key ctrl+w  # the window's close shortcut hides it; the program goes on in the tray
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Quillby Pro$'" || fail "Ctrl+W did not close the window"
timeout 30 "$program" >/dev/null 2>&1 || fail "the second start did not end with status 0"
kill -0 "$first" 2>/dev/null || fail "the first program ended"
wait_for 10 xdotool search --onlyvisible --name '^Quillby Pro$' || fail "the reopen request did not show the window"

# The tray icon opens the volume panel.
read -r ix iy iw ih < <(window_geometry '"Quillby Pro": \("quillby-pro".*2[0-9]x2[0-9]')
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for 10 bash -c "xwininfo -root -tree | grep -qE ' 280x[0-9]+\+'" || fail "the volume panel did not open"
sleep 0.5
"$grab" "$pictures/desktop-tray-panel.png" || true
read -r px py pw ph < <(window_geometry ' 280x[0-9]+\+')

# Its last row is the quit command; the program ends with the quit command's status.
xdotool mousemove $((px + 60)) $((py + ph - 14)) click 1
status=0
for _ in $(seq 200); do kill -0 "$first" 2>/dev/null || break; sleep 0.05; done
wait "$first" || status=$?
[ "$status" = 1 ] || fail "quit ended with status $status, not 1"
echo "PASS"
