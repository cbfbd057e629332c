#!/usr/bin/env bash
# The end of the application on a desktop with a window manager (a private Xvfb display with openbox),
# driven from outside by xdotool the way a person would, and the start with a file:
#   - a file alone opens in the active editor with the keys; a run leaves its graphics and control
#     windows open; Exit asks the save question, whose Cancel keeps everything; Exit again ends the
#     process;
#   - -A starts a program that writes a file: the run window has the keys; Alt+F4 on the frame and
#     "はい" end the process, and the file stops changing;
#   - -H minimises the frame and the run window; the title bar's close button ends the process during
#     the run;
#   - the run window's title bar is on the screen at start-up; the wait window of a long loading paints
#     its progress (read back from the X server).
# Usage: quit.sh PATH-TO-LORVEX PATH-TO-WINDOWPIXELS
set -euo pipefail

app=${1:?usage: quit.sh PATH-TO-LORVEX PATH-TO-WINDOWPIXELS}
pixels=${2:?usage: quit.sh PATH-TO-LORVEX PATH-TO-WINDOWPIXELS}
# How long the process may take to end after the last answer.
end_seconds=3

source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
mkdir -p "$work/config/Lorvex"

# ---- the application ----------------------------------------------------------------------------------

app_pid=
start_app() {
  rm -f "$state"
  QT_QPA_PLATFORM=xcb LORVEX_STATE_FILE=$state NO_AT_BRIDGE=1 "$app" "$@" >>"$work/app.log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  wait_contains "busy="
}

# True once the process has ended (a child that has ended but is not yet reaped counts as ended).
app_ended() {
  local stat
  stat=$(cat "/proc/$app_pid/stat" 2>/dev/null) || return 0
  [[ -z $stat || $(cut -d' ' -f3 <<<"$stat") == Z ]]
}
app_running() { ! app_ended; }

# The process must end within end_seconds of the last answer.
wait_ended() {
  local end=$((SECONDS + end_seconds))
  until app_ended; do
    ((SECONDS <= end)) || fail "the application did not end after $1"
    sleep 0.02
  done
  wait "$app_pid" 2>/dev/null || true
}

# Brings the minimised frame back: every window of that name is activated (the toolkit's own hidden
# window carries the same name, and its activation changes nothing).
restore_frame() {
  local window
  for window in $(xdotool search --name '^Lorvex for Windows$'); do
    xdotool windowactivate "$window" 2>/dev/null || true
  done
}
visible() { [[ -n $(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) ]]; }


exit_question="message=Lorvex を終了しますか？"
# Answers the open question with a key once the message box is active. A key that reaches the box
# before the window manager has given it the focus is lost on a busy machine, so the key goes again
# while the same question is still asked.
answer() {
  local key=$1 question=$2
  wait_state "active=QMessageBox"
  for _ in 1 2 3 4; do
    xdotool key "$key"
    for _ in $(seq 75); do
      state_contains "$question" || return 0
      app_ended && return 0
      sleep 0.02
    done
  done
  fail "the key $key did not answer: $question"
}
exit_through_menu() {
  xdotool key alt+p
  wait_state "popup=QMenu"
  xdotool key x
  wait_state "$exit_question"
}

# A program that counts in a file for ever.
printf 'I = 0\r\nDO\r\nI = I + 1\r\nWRITEALLTEXT("%s", STR$(I))\r\nSLEEP(5)\r\nLOOP\r\n' "$work/count.txt" \
  >"$work/count.lxt"
count() { cat "$work/count.txt" 2>/dev/null || true; }
counting() {
  local first
  first=$(count)
  [[ -n $first ]] || return 1
  sleep 0.05
  [[ $(count) != "$first" ]]
}
# The file keeps its last count once the process has ended.
check_count_stopped() {
  local last
  last=$(count)
  sleep 0.3
  [[ $(count) == "$last" ]] || fail "the program went on writing after the end of the application"
}

# ---- a file alone: the editor has the keys; the save question; earlier runs' windows ------------------

printf 'GSCREEN(200, 100)\r\nCSCREEN(200, 100)\r\nPRINT "drawn"\r\n' >"$work/edit.lxt"
cp "$work/edit.lxt" "$work/edit.orig"
start_app "$work/edit.lxt"
wait_state "active=TLxFrameForm"
wait_state "focus=edit.lxt"
xdotool key F9
wait_contains 'drawn\n'
wait_state "busy=0"
wait_until "no graphics window" visible '^Lorvex Graph 画面$'
wait_until "no control window" visible '^LXコントロール$'

back_to_frame
wait_state "focus=edit.lxt"
xdotool key ctrl+End Return
xdotool type --delay 5 'REM x'
wait_contains 'REM x'

exit_through_menu
answer Return "$exit_question"
wait_contains "message=$work/edit.lxt は変更されています。"
answer Escape "message=$work/edit.lxt は変更されています。"
wait_state "message=-"
wait_state "frame=shown"
state_contains 'REM x' || fail "Cancel lost the editor's text"
sleep 0.3
app_running || fail "Cancel of the save question ended the application"

exit_through_menu
answer Return "$exit_question"
wait_contains "message=$work/edit.lxt は変更されています。"
answer alt+n "message=$work/edit.lxt は変更されています。"
wait_ended "Exit, はい and いいえ to saving"
cmp -s "$work/edit.lxt" "$work/edit.orig" || fail "the file was saved although the answer was no"
visible '^Lorvex Graph 画面$' && fail "the graphics window outlived the application"

# ---- -A: Alt+F4 on the frame during a run that writes a file --------------------------------------------

start_app -A "$work/count.lxt"
wait_state "busy=1"
wait_state "active=TRunForm"
wait_state "focus=run"
wait_until "the program does not count" counting
back_to_frame
xdotool key alt+F4
wait_state "$exit_question"
answer Return "$exit_question"
wait_ended "Alt+F4 and はい during a run"
check_count_stopped

# ---- -H: both windows minimised; the title bar's close button during the run -------------------------------

rm -f "$work/count.txt"
start_app -H "$work/count.lxt"
wait_state "busy=1"
wait_state "frame=minimised"
wait_state "run=minimised"
wait_until "the program does not count" counting
# Nothing brings either window back on the screen while the program runs.
sleep 0.5
state_has "run=minimised" || fail "-H: the run window came back"
visible '^Lorvex' && fail "-H: a window of the application is on the screen"

restore_frame
wait_state "frame=shown"
wait_state "active=TLxFrameForm"
# The close button stands at the right end of the title bar, just above the client area. The window
# manager may still be bringing the frame back: a click that finds no button is tried again.
asked=0
for _ in 1 2 3 4 5; do
  frame=$(frame_window)
  eval "$(xdotool getwindowgeometry --shell "$frame")"
  xdotool mousemove --window "$frame" -- $((WIDTH - 8)) -10 click 1
  for _ in $(seq 50); do
    if state_has "$exit_question"; then
      asked=1
      break 2
    fi
    sleep 0.02
  done
  xdotool windowactivate "$frame" 2>/dev/null || true
done
((asked)) || fail "the close button of the frame's title bar asks nothing"
answer Return "$exit_question"
wait_ended "the close button and はい during a run"
check_count_stopped

# ---- the wait window of a long loading shows its progress ------------------------------------------------

printf '[Configuration]\nAuto Format Load=ON\n' >"$work/config/Lorvex/Lorvex.conf"
# Long enough that the wait window stays up for a good part of a second even where loading is fast.
awk 'BEGIN { for (i = 0; i < 500000; i++) printf "PRINT \"line %d\" : A = A + %d '"'"' comment %d\r\n", i, i, i }' \
  >"$work/long.lxt"

start_app
wait_state "run=shown"
# The run window's title bar (which shows the run state) is on the screen: a point just above the
# window's client area is not pushed back to the screen's top edge.
run=$(run_window)
xdotool mousemove --window "$run" -- 10 -10
eval "$(xdotool getmouselocation --shell)"
((Y > 0)) || fail "the run window's title bar is above the screen"
back_to_frame
xdotool key alt+p
wait_state "popup=QMenu"
xdotool key o
wait_state "active=QFileDialog"
xdotool type --delay 5 "$work/long.lxt"
xdotool key Return
wait_until "no wait window" visible '^ロード中$'
wait_window=$(xdotool search --onlyvisible --name '^ロード中$' | head -n1)
# Read back while it is on the screen: its bar (and the number on it) must be painted, not a black or
# empty area.
painted=0
grabs=()
while visible '^ロード中$'; do
  # (A window that has just gone cannot be read any more.)
  seen=$(QT_QPA_PLATFORM=xcb "$pixels" "$wait_window" 2>"$work/pixels.log") || {
    visible '^ロード中$' && fail "the wait window cannot be read: $(cat "$work/pixels.log")"
    break
  }
  visible '^ロード中$' || break
  grabs+=("$seen")
  read -r total black colours < <(sed -E 's/pixels=([0-9]+) black=([0-9]+) colours=([0-9]+)/\1 \2 \3/' <<<"$seen")
  ((black * 2 < total)) || fail "the wait window is black: $seen"
  if ((colours >= 8)); then
    painted=1
    break
  fi
done
((painted)) || fail "the wait window was never seen painted (${grabs[*]:-no picture taken while it was shown})"
wait_state "mdi=long.lxt"
# (The colouring after the load shows the wait window once more.)
wait_state "wait=-"
wait_state "active=TLxFrameForm"
exit_through_menu
answer Return "$exit_question"
wait_ended "Exit and はい"

echo "desktop quit test passed"
