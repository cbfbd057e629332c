# Sourced by the desktop tests: a private Xvfb display with openbox on it, a work folder that goes at
# the end with every process started here, and waiting for what the application shows. The
# application writes what it shows to $state (LORVEX_STATE_FILE); every step waits for the state it
# expects (with a deadline) and fails when it does not come.
deadline_seconds=20

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup-deps installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

state=$work/state
fail() {
  echo "FAIL: $*" >&2
  if [[ -f $state ]]; then
    echo "--- last state (long lines cut) ---" >&2
    cut -c1-300 "$state" >&2
  fi
  exit 1
}

# Waits until the command succeeds; fails with the message after the deadline.
wait_until() {
  local what=$1
  shift
  local end=$((SECONDS + deadline_seconds))
  until "$@"; do
    ((SECONDS < end)) || fail "$what"
    sleep 0.02
  done
}

# A line of the state, exactly.
state_has() { [[ -f $state ]] && grep -qxF -- "$1" "$state"; }
wait_state() { wait_until "state line: $1" state_has "$1"; }
# A part of a line of the state.
state_contains() { [[ -f $state ]] && grep -qF -- "$1" "$state"; }
wait_contains() { wait_until "state containing: $1" state_contains "$1"; }

# ---- the display and the window manager -------------------------------------------------------------

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
display_known() { [[ -s $work/display ]]; }
wait_until "Xvfb did not start" display_known
export DISPLAY=:$(head -n1 "$work/display")

mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
openbox --startup "touch $work/wm-ready" >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_ready() { [[ -e $work/wm-ready ]]; }
wait_until "openbox did not start" wm_ready

frame_window() { xdotool search --onlyvisible --name '^Lorvex for Windows$' | head -n1; }
run_window() { xdotool search --onlyvisible --name '^Lorvex 実行画面' | head -n1; }

# Brings the frame to the front again (a run gives the run window the activation).
back_to_frame() {
  xdotool windowactivate "$(frame_window)"
  wait_state "active=TLxFrameForm"
}
