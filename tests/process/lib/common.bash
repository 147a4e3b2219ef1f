# Shared steps of the process tests: a private virtual display, the program under test,
# real key presses, and checks on what it reported.
set -euo pipefail

programs_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
export KVN_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1

work=$(mktemp -d)
# The start-up log goes to the temporary directory: each test gets its own.
export TMPDIR=$work/
export KVN_TEST_OUT=$work/out
mkdir -p "$KVN_TEST_OUT"
xvfb_pid=
program_pid=

cleanup() {
  [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  # KVN_TEST_KEEP=DIR keeps the screenshots and files of a failed run for a look.
  [ -n "${KVN_TEST_KEEP:-}" ] && cp -r "$work" "$KVN_TEST_KEEP"
  if [ -f "$work/ErrorLog.txt" ]; then
    echo "--- ErrorLog.txt" >&2
    tr -d '\r' <"$work/ErrorLog.txt" >&2
  fi
  exit 1
}

# Starts a private X server of the given size (WIDTHxHEIGHT) and points DISPLAY at it once it
# answers. -noreset: by default the server resets whenever its last client leaves (a program
# between two windows, a screenshot tool ending), and a client connecting meanwhile is refused.
start_display() {
  : >"$work/display"
  Xvfb -displayfd 1 -noreset -screen 0 "${1}x24" -nolisten tcp >"$work/display" \
    2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  for _ in $(seq 200); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "Xvfb on $DISPLAY does not answer"
}

# Starts the probe program in the background (extra VAR=value words set its environment).
start_probe() {
  rm -f "$KVN_TEST_OUT"/*
  env "$@" "$programs_dir/probe_program" >"$work/stdout" 2>"$work/stderr" &
  program_pid=$!
}

# Waits until the program reported a file (default 20 s).
wait_for_report() {
  local name=$1 limit=${2:-200}
  for _ in $(seq "$limit"); do
    [ -s "$KVN_TEST_OUT/$name" ] && return 0
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$KVN_TEST_OUT/$name" ] || fail "no report '$name'"
}

report() { cat "$KVN_TEST_OUT/$1" 2>/dev/null || true; }

# Waits for the program to end (default 15 s); its exit code goes to $exit_code.
wait_exit() {
  local limit=${1:-150}
  for _ in $(seq "$limit"); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "program still running"
  exit_code=0
  wait "$program_pid" || exit_code=$?
  program_pid=
}

# Expects the program to be running still after a while.
expect_running() {
  sleep "${1:-0.5}"
  kill -0 "$program_pid" 2>/dev/null || fail "program ended unexpectedly"
}

# A real key press, held long enough to be seen by a frame's keyboard poll.
press() {
  xdotool keydown "$@"
  sleep 0.2
  xdotool keyup "$@"
}

probe_window() { xdotool search --name '^Probe' | head -n1; }

# The log without its CR LF line ends; fails unless every line ended in CR LF.
log_lines() {
  local log=$work/ErrorLog.txt
  [ -f "$log" ] || fail "no ErrorLog.txt"
  if grep -qv $'\r$' "$log"; then fail "a log line does not end in CR LF"; fi
  tr -d '\r' <"$log"
}

expect_equal() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}

# The last line of every process test: the test passes only when it gets here.
passed() {
  echo "passed: $*"
}
