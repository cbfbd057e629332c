#!/usr/bin/env bash
# check-end-signals.sh LORVEX LXRUN WORK
# What a program wrote is in its files whenever someone may look or the process is asked to end:
#   - SIGTERM to the IDE while a program that wrote 1,000 lines loops: the run stops and the file holds
#     every line, and the process ends;
#   - a program waiting in INPUT's dialog has its 1,000 lines in the file already; SIGHUP then ends the
#     IDE, dialog and all;
#   - lxrun stops its run on SIGTERM and closes the files with everything in them.
# Every wait is a number of looks at a condition, ended as soon as it holds.
set -euo pipefail
app=${1:?usage: check-end-signals.sh LORVEX LXRUN WORK}
lxrun=${2:?}
work=${3:?}
rm -rf "$work"
mkdir -p "$work/home"
export HOME=$work/home XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen ALSA_CONFIG_PATH=/dev/null

looks=1500 # at 0.02 s each: 30 s at most, on a loaded machine
fail() {
  echo "check-end-signals: $*" >&2
  [[ -n ${pid:-} ]] && kill -KILL "$pid" 2>/dev/null
  exit 1
}
until_holds() {
  local i
  for ((i = 0; i < looks; i++)); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}
# A child that has ended but is not yet reaped counts as ended.
ended() {
  local stat
  stat=$(cat "/proc/$pid/stat" 2>/dev/null) || return 0
  [[ -z $stat || $(cut -d' ' -f3 <<<"$stat") == Z ]]
}
line_count() { if [[ -f $1 ]]; then grep -c '^line' "$1" || true; else echo 0; fi; }
has_lines() { [[ $(line_count "$1") -eq 1000 ]]; }
state_has() { grep -q -- "$2" "$1" 2>/dev/null; }

# program NAME THEN: writes 1,000 lines to NAME.txt, then runs THEN.
program() {
  printf 'OPEN "%s/%s.txt" FOR OUTPUT AS #1\r\nFOR I = 1 TO 1000\r\nPRINT #1, "line"; I\r\nNEXT I\r\n%s' \
    "$work" "$1" "$2" >"$work/$1.lxt"
}

# The IDE running a program, its state written where the test can wait for it.
start_ide() {
  "$app" -A "$work/$1.lxt" >>"$work/app.log" 2>&1 &
  pid=$!
}

program loop $'PRINT "ready"\r\nDO\r\nX = X + 1\r\nLOOP\r\n'
export LORVEX_STATE_FILE=$work/loop.state
start_ide loop
until_holds state_has "$LORVEX_STATE_FILE" 'runtext=.*ready' || fail "the looping program never started"
kill -TERM "$pid"
until_holds ended || fail "SIGTERM did not end the IDE"
wait "$pid" || true
has_lines "$work/loop.txt" || fail "after SIGTERM the file holds $(line_count "$work/loop.txt") of 1000 lines"

program ask $'INPUT "name"; A$\r\n'
export LORVEX_STATE_FILE=$work/ask.state
start_ide ask
until_holds state_has "$LORVEX_STATE_FILE" 'active=QDialog' || fail "INPUT's dialog never opened"
has_lines "$work/ask.txt" || fail "while INPUT waits the file holds $(line_count "$work/ask.txt") of 1000 lines"
kill -HUP "$pid"
until_holds ended || fail "SIGHUP did not end the IDE waiting in a dialog"
wait "$pid" || true
unset LORVEX_STATE_FILE

program run $'INPUT "name"; A$\r\nPRINT "answered"\r\n'
"$lxrun" --timeout 60 "$work/run.lxt" >"$work/run.out" 2>&1 &
pid=$!
until_holds has_lines "$work/run.txt" || fail "lxrun's program never wrote its lines while it waited"
kill -TERM "$pid"
until_holds ended || fail "SIGTERM did not end lxrun"
wait "$pid" || true
grep -q "実行中断しました" "$work/run.out" || fail "lxrun did not stop its run: $(cat "$work/run.out")"
has_lines "$work/run.txt" || fail "after lxrun the file holds $(line_count "$work/run.txt") of 1000 lines"
