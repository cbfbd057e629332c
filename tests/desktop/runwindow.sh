#!/usr/bin/env bash
# The run window on a desktop with a window manager (a private Xvfb display with openbox), driven from
# outside by xdotool the way a person would:
#   - stored with a height of 1, its title bar is on the screen after the start;
#   - minimised, it comes back with the focus when F9 runs the editor's program, and again when
#     Shift+F9 continues it after STOP;
#   - a file dragged from another program onto it is refused and leaves its text alone, while the
#     frame takes the same drag.
# (-H leaving it minimised through a whole run is part of quit.sh.)
# Usage: runwindow.sh PATH-TO-LORVEX PATH-TO-DRAGFILE
set -euo pipefail

app=${1:?usage: runwindow.sh PATH-TO-LORVEX PATH-TO-DRAGFILE}
dragfile=${2:?usage: runwindow.sh PATH-TO-LORVEX PATH-TO-DRAGFILE}
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

printf 'PRINT "first"\r\nSTOP\r\nPRINT "second"\r\n' >"$work/r.lxt"
mkdir -p "$work/config/Lorvex"
printf '[Configuration]\nTScreen Height=1\n' >"$work/config/Lorvex/Lorvex.conf"
QT_QPA_PLATFORM=xcb LORVEX_STATE_FILE=$state NO_AT_BRIDGE=1 "$app" "$work/r.lxt" >"$work/app.log" 2>&1 &
pids+=($!)
wait_state "active=TLxFrameForm"
wait_state "focus=r.lxt"

# A point just above the client area is on the screen, not pushed back to its top edge.
xdotool mousemove --window "$(run_window)" -- 10 -10
eval "$(xdotool getmouselocation --shell)"
((Y > 0)) || fail "the run window's title bar is above the screen"

# Minimises the run window as its title bar's button does, and gives the editor the keys again.
minimise_run_window() {
  xdotool windowminimize "$(run_window)"
  wait_state "run=minimised"
  back_to_frame
  wait_state "focus=r.lxt"
}

# ---- F9 and Shift+F9 bring the minimised run window back with the focus --------------------------------

minimise_run_window
xdotool key F9
wait_state "run=shown"
wait_state "active=TRunForm"
wait_state "focus=run"
wait_contains '\nfirst\n'
wait_state "busy=0"

minimise_run_window
xdotool key shift+F9
wait_state "run=shown"
wait_state "active=TRunForm"
wait_state "focus=run"
wait_contains '\nsecond\n'
wait_state "busy=0"

# ---- a dropped file: refused by the run window, taken by the frame --------------------------------------

# Drags the file from the drag tool's window to a point of a window of the application, with the moves
# a hand makes, and prints what the target did ("drop=...").
drag_to() {
  local target=$1 x=$2 y=$3 out=$work/drag.out
  rm -f "$out"
  QT_QPA_PLATFORM=xcb "$dragfile" "$work/r.lxt" >"$out" 2>"$work/drag.log" &
  local drag_pid=$!
  pids+=($drag_pid)
  local source=
  source_shown() { source=$(xdotool search --onlyvisible --name '^dragfile$' | head -n1) && [[ -n $source ]]; }
  wait_until "the drag tool shows no window" source_shown
  xdotool windowmove --sync "$source" 1100 850
  xdotool mousemove --window "$source" 60 60 mousedown 1
  sleep 0.1
  for step in 1 2 3 4; do
    xdotool mousemove --window "$target" $((x * step / 4)) $((y * step / 4))
    sleep 0.1
  done
  xdotool mousemove --window "$target" "$x" "$y"
  sleep 0.2
  xdotool mouseup 1
  drag_ended() { [[ -s $out ]]; }
  wait_until "the drag did not end" drag_ended
  wait "$drag_pid" 2>/dev/null || true
  cat "$out"
}

text_before=$(grep '^runtext=' "$state")
run=$(run_window)
[[ $(drag_to "$run" 150 50) == drop=refused ]] || fail "the run window took a dropped file"
sleep 0.3
[[ $(grep '^runtext=' "$state") == "$text_before" ]] || fail "a dropped file changed the run window's text"

[[ $(drag_to "$(frame_window)" 300 200) != drop=refused ]] || fail "the frame refused a dropped file"

echo "desktop run window test passed"
