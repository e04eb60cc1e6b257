#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real desktop program, run as an ordinary user, quick-cleans a rotated system log that only
# root may delete: the log stays, the Fast Clean window offers its failed items, and their list
# names the log with its reason and offers the retry with administrator rights. The retry is
# not taken. /var/log is a tmpfs in a private mount namespace, so no real log is touched; where
# that cannot be made (not root, no namespaces) the test skips.
# Usage: quick_clean_failure.sh QUILLBY_PRO SCREEN_GRAB PICTURES_DIR QUILLBY
if [ -z "${QUILLBY_PRIVATE_LOGS:-}" ]; then
  if [ "$(id -u)" != 0 ] || ! unshare --mount true 2>/dev/null; then
    echo "SKIP: needs root: a private mount namespace for a fixture /var/log"
    exit 77
  fi
  QUILLBY_PRIVATE_LOGS=1 exec unshare --mount --propagation private "$0" "$@"
fi
mount -t tmpfs -o mode=755 quillby-logs /var/log || { echo "SKIP: cannot mount a tmpfs on /var/log"; exit 77; }

program=$1 grab=$2 pictures=$3 cli=$4
source "$(dirname "$0")/xvfb-session.sh"
need xclip setpriv
mkdir -p "$pictures"
fail() { echo "FAIL: $*"; "$grab" "$pictures/quick-clean-failure-failure.png" || true; xwininfo -root -tree | grep -i quillby || true; exit 1; }

echo "an old log" >/var/log/fixture.log.1
user=65534  # nobody: the log is root's, so the clean's deletion is refused with EACCES
chmod 755 "$work"
# The user's runtime folder is its own: root's tools here (the screen grab) keep theirs, or Qt
# would refuse a folder owned by another user and make /tmp/runtime-root.
user_runtime="$work/run-user"
mkdir -m 700 "$user_runtime"
chown -R "$user:$user" "$HOME" "$user_runtime"
as_user() { XDG_RUNTIME_DIR="$user_runtime" setpriv --reuid="$user" --regid="$user" --clear-groups -- "$@"; }
for key in SystemCaches UserCaches UserLogs UserTrash UserDownloads; do as_user "$cli" settings set "$key" 0 >/dev/null; done
as_user "$cli" settings set SystemLogs 1 >/dev/null
as_user "$cli" settings set ConfirmClean false >/dev/null

wait_for 10 xwininfo -root -tree -name panel || fail "the tray host did not start"
as_user "$program" >"$work/out.txt" 2>&1 &
pids+=($!)
wait_for_tray_icon
# The main window opens at the first start; the panel is opened once it is there.
wait_for 20 xdotool search --onlyvisible --name '^Quillby Pro$' || fail "the main window did not open"
sleep 0.5
open_panel
xdotool mousemove $((px + 60)) "$fast_y" click 1
wait_for 20 xdotool search --onlyvisible --name '^Fast Clean$' || fail "Fast Clean opened no window"
# The closing balloon has a third line for the items that could not be deleted.
wait_for 30 bash -c "xwininfo -root -tree | grep -qE ' 288x[0-9]+\+'" || fail "no closing balloon"
[ -e /var/log/fixture.log.1 ] || fail "an ordinary user's clean deleted root's log"

# The Fast Clean window stays with its failed items; Return shows them.
before=$(xdotool search --onlyvisible --name '^Quillby Pro$' | sort)
clean=$(xdotool search --onlyvisible --name '^Fast Clean$' | head -n1)
xdotool windowfocus --sync "$clean" key Return
new_window() { xdotool search --onlyvisible --name '^Quillby Pro$' | sort | comm -13 <(echo "$before") - | head -n1; }
wait_for 10 bash -c "$(declare -f new_window); before='$before'; [ -n \"\$(new_window)\" ]" ||
  fail "Return showed no list of failed items"
sleep 0.5
# The list is a message box whose texts can be selected: a click into a text, then Ctrl+A and
# Ctrl+C copy it. Its title is near the top, the details below.
clipboard() { xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null || true; }
text_at() {
  local x y w h copied old
  old=$(clipboard)
  read -r x y w h < <(window_geometry "^ *$(printf '0x%x' "$1") ")
  xdotool mousemove $((x + 80)) $((y + $2)) click 1 key ctrl+a ctrl+c
  for _ in $(seq 20); do
    copied=$(clipboard)
    [ -n "$copied" ] && [ "$copied" != "$old" ] && break
    sleep 0.1
  done
  echo "$copied"
}
box=$(new_window)
title=$(text_at "$box" 18)
listed=$(text_at "$box" 50)
"$grab" "$pictures/desktop-quick-clean-failures.png" || true
[ "$title" = "Some items could not be deleted." ] || fail "the list's title reads: $title"
grep -qF "System Logs:" <<<"$listed" && grep -qF "/var/log (permission denied)" <<<"$listed" ||
  fail "the list lacks the log folder and its reason: $listed"
# Its other button, left of "OK" at the lower right, is the retry: without a way to get rights
# here, the log stays and the window says so.
read -r bx by bw bh < <(window_geometry "^ *$(printf '0x%x' "$box") ")
before=$(xdotool search --onlyvisible --name '^Quillby Pro$' | sort)
xdotool mousemove $((bx + bw - 130)) $((by + bh - 24)) click 1
wait_for 20 bash -c "$(declare -f new_window); before='$before'; [ -n \"\$(new_window)\" ]" ||
  fail "the retry with rights did not answer"
answer=$(text_at "$(new_window)" 18)
[ "$answer" = "Administrator rights were not given: these items stay." ] || fail "the retry's answer reads: $answer"
[ -e /var/log/fixture.log.1 ] || fail "the log went although no rights were given"
echo "PASS"
