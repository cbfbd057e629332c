#!/usr/bin/env bash
# The IDE on a desktop with a window manager (a private Xvfb display with openbox), driven from outside
# by xdotool the way a person would: two files opened through the menu, keys typed into each, each run
# with F9, undo pressed in each window, a close request to the run window.
# Usage: editors.sh PATH-TO-LORVEX
set -euo pipefail

app=${1:?usage: editors.sh PATH-TO-LORVEX}
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

# ---- the application ----------------------------------------------------------------------------------

printf 'PRINT "A"' >"$work/a.lxt"
printf 'PRINT "B"' >"$work/b.lxt"

QT_QPA_PLATFORM=xcb LORVEX_STATE_FILE=$state NO_AT_BRIDGE=1 "$app" >"$work/app.log" 2>&1 &
pids+=($!)

# Opens a file through the Program menu and its dialog.
open_through_menu() {
  xdotool key alt+p
  wait_state "popup=QMenu"
  xdotool key o
  wait_state "active=QFileDialog"
  xdotool type --delay 5 "$1"
  xdotool key Return
}

# Picks an editor from the Window menu by its number.
window_menu_entry() {
  xdotool key alt+w
  wait_state "popup=QMenu"
  xdotool key "$1"
}

# ---- the opened editor is the active one with the keys --------------------------------------------------

# The run window is shown after the frame and has the activation at start.
wait_state "run=shown"
back_to_frame

open_through_menu "$work/a.lxt"
wait_state "focus=a.lxt"
open_through_menu "$work/b.lxt"
wait_state "focus=b.lxt"
wait_state "status=b.lxt"
wait_state "mdi=b.lxt"

xdotool key ctrl+End Return
xdotool type --delay 5 'PRINT "B2"'
wait_state 'editor=b.lxt|PRINT "B"\nPRINT "B2"'
state_has 'editor=a.lxt|PRINT "A"' || fail "the keys for b.lxt reached a.lxt"
xdotool key F9
wait_contains '\nB\nB2\n'
wait_state "busy=0"

back_to_frame
window_menu_entry 1
wait_state "focus=a.lxt"
xdotool key ctrl+End Return
xdotool type --delay 5 'PRINT "A2"'
wait_state 'editor=a.lxt|PRINT "A"\nPRINT "A2"'
xdotool key F9
wait_contains '\nA\nA2\n'
wait_state "busy=0"

# ---- undo acts in the window where it is pressed ---------------------------------------------------------

back_to_frame
window_menu_entry 2
wait_state "focus=b.lxt"
# A line break and ten characters: eleven steps, then nothing more to undo in this window.
for _ in $(seq 12); do xdotool key ctrl+z; done
wait_state 'editor=b.lxt|PRINT "B"'
state_has 'editor=a.lxt|PRINT "A"\nPRINT "A2"' || fail "undo in b.lxt changed a.lxt"

window_menu_entry 1
wait_state "focus=a.lxt"
xdotool key ctrl+z
wait_state 'editor=a.lxt|PRINT "A"\nPRINT "A2'
for _ in $(seq 10); do xdotool key ctrl+z; done
wait_state 'editor=a.lxt|PRINT "A"'
state_has 'editor=b.lxt|PRINT "B"' || fail "undo in a.lxt changed b.lxt"

# ---- a close request minimises the run window ---------------------------------------------------

run=$(run_window)
[[ -n $run ]] || fail "no run window"
xdotool windowactivate "$run"
wait_state "active=TRunForm"
# openbox offers its close action all the same (Alt+F4): the request minimises the window.
xdotool key alt+F4
wait_state "run=minimised"

echo "desktop test passed"
