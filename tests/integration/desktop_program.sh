#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real desktop program under Xvfb: it starts with its tray icon and main window, a second
# start brings the first one's window back, the tray icon opens the volume panel, the panel's
# "Fast Clean" empties the enabled category of the fixture home (asking before Downloads, and
# off while it runs), and the panel's quit command ends the program with status 1.
# Usage: desktop_program.sh QUILLBY_PRO SCREEN_GRAB PICTURES_DIR QUILLBY
program=$1 grab=$2 pictures=$3 cli=$4
source "$(dirname "$0")/xvfb-session.sh"
mkdir -p "$pictures"
fail() {
  echo "FAIL: $*"
  "$grab" "$pictures/desktop-failure.png" || true
  xwininfo -root -tree | grep -i quillby || true
  tail -n 20 "$work/out.txt" 2>/dev/null || true
  exit 1
}

# The fixture home: only the user caches and Downloads are enabled, nothing outside the home.
for key in SystemCaches SystemLogs UserLogs UserTrash; do "$cli" settings set "$key" 0 >/dev/null; done
for key in UserCaches UserDownloads; do "$cli" settings set "$key" 1 >/dev/null; done
# The clean's own question off: Downloads is still asked about on its own.
"$cli" settings set ConfirmClean false >/dev/null
mkdir -p "$HOME/.cache/fixture" "$HOME/Downloads"
for i in $(seq 200); do head -c 1000 /dev/zero >"$HOME/.cache/fixture/$i"; done
echo "keep me" >"$HOME/Downloads/keep.iso"

wait_for 10 xwininfo -root -tree -name panel || fail "the tray host did not start"
"$program" >"$work/out.txt" 2>&1 &
first=$!
pids+=($first)

wait_for_tray_icon
wait_for 10 xdotool search --onlyvisible --name '^Quillby Pro$' || fail "the main window did not open"

# A second start hands over to the first and ends at once.
window=$(xdotool search --onlyvisible --name '^Quillby Pro$' | head -n1)
# The window's close shortcut hides it; the program goes on in the tray. Without a window
# manager the first key can come before the new window has the keyboard, so it is sent again
# until the window is gone.
close_window() {
  xdotool search --onlyvisible --name '^Quillby Pro$' >/dev/null || return 0
  xdotool windowfocus --sync "$window" key ctrl+w 2>/dev/null
  sleep 0.3
  ! xdotool search --onlyvisible --name '^Quillby Pro$' >/dev/null
}
wait_for 10 close_window || fail "Ctrl+W did not close the window"
timeout 30 "$program" >/dev/null 2>&1 || fail "the second start did not end with status 0"
kill -0 "$first" 2>/dev/null || fail "the first program ended"
wait_for 10 xdotool search --onlyvisible --name '^Quillby Pro$' || fail "the reopen request did not show the window"

# The tray icon opens the volume panel.
open_panel
"$grab" "$pictures/desktop-tray-panel.png" || true

fast_picture() { xdotool mousemove 0 0; sleep 0.3; "$grab" "$work/$1.png" $((px + 4)) $((fast_y - 6)) 120 12; }
fast_picture enabled
# The program's windows that were not there before the click (the question).
before=$(xdotool search --onlyvisible --name '^Quillby Pro$' | sort)
new_windows() { xdotool search --onlyvisible --name '^Quillby Pro$' | sort | comm -13 <(echo "$before") -; }
export before
export -f new_windows
xdotool mousemove $((px + 60)) "$fast_y" click 1
wait_for 20 xdotool search --onlyvisible --name '^Fast Clean$' || fail "Fast Clean opened no window"
# Downloads is enabled: the question comes before anything is deleted, and holds the clean.
wait_for 20 bash -c '[ -n "$(new_windows)" ]' || fail "no Downloads question"
[ -e "$HOME/.cache/fixture/1" ] || fail "items were deleted before the Downloads question was answered"
question=$(new_windows | head -n1)
open_panel
fast_picture running
cmp -s "$work/enabled.png" "$work/running.png" && fail "Fast Clean stayed enabled while a clean ran"
xdotool mousemove $((px + 60)) "$fast_y" click 1
sleep 0.5
[ "$(xdotool search --onlyvisible --name '^Fast Clean$' | wc -l)" = 1 ] || fail "a second quick clean opened"
[ "$(new_windows | wc -l)" = 1 ] || fail "a second Downloads question came"
xdotool key Escape
# "No" (the question's last button, at its lower right) leaves Downloads out; the caches are
# emptied and the closing balloon says so.
read -r qx qy qw qh < <(window_geometry "^ *$(printf '0x%x' "$question") ")
xdotool mousemove $((qx + qw - 51)) $((qy + qh - 24)) click 1
wait_for 30 bash -c "[ ! -e '$HOME/.cache/fixture' ]" || fail "the user caches were not emptied"
# The two-line balloon: 280 by 50 inside its frame of 4 pixels.
wait_for 10 bash -c "xwininfo -root -tree | grep -qE ' 288x54\+'" || fail "no closing balloon"
"$grab" "$pictures/desktop-fast-clean-balloon.png" || true
[ -e "$HOME/Downloads/keep.iso" ] || fail "Downloads was emptied after the answer No"
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Fast Clean$'" || fail "the quick-clean window stayed"
open_panel
fast_picture after
cmp -s "$work/enabled.png" "$work/after.png" || fail "Fast Clean did not come back after the clean"

# "About Quillby Pro" opens its dialog.
xdotool mousemove $((px + 60)) "$about_y" click 1
wait_for 10 xdotool search --onlyvisible --name '^About Quillby Pro$' || fail "About opened no dialog"
# Escape goes to the dialog once it has the keyboard (there is no window manager to give it).
about=$(xdotool search --onlyvisible --name '^About Quillby Pro$' | head -n1)
xdotool windowfocus --sync "$about" key Escape
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^About Quillby Pro\$'" ||
  fail "Escape did not close the About dialog"
open_panel

# Its last row is the quit command; the program ends with the quit command's status.
xdotool mousemove $((px + 60)) $((py + ph - 14)) click 1
status=0
for _ in $(seq 200); do kill -0 "$first" 2>/dev/null || break; sleep 0.05; done
wait "$first" || status=$?
[ "$status" = 1 ] || fail "quit ended with status $status, not 1"
echo "PASS"
