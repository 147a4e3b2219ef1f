# Shared steps of the example tests: an example recorded live while real keys and clicks
# reach it, its recording replayed to save the last picture before Escape, and pixel checks.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
examples_dir=$build_dir/examples
run_dir=$work/run
start_display 1024x600

# Runs the example NAME in $run_dir (a copy beside its archive, so whatever it writes stays
# there), recording it; ACTION (a function) drives it, then Escape ends it. The run directory
# as it was before is kept, so the replay reads the same files.
record_example() {
  local name=$1 action=$2 title=$3
  mkdir -p "$run_dir"
  cp "$examples_dir/$name" "$examples_dir/examples.gfx" "$run_dir/"
  rm -rf "$work/before" && cp -r "$run_dir" "$work/before"
  KVN_RECORD=$work/$name.kvr "$run_dir/$name" >"$work/stdout" 2>"$work/stderr" &
  program_pid=$!
  for _ in $(seq 200); do
    window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "$name: no window"
  expect_running 1
  "$action"
  press Escape
  wait_exit
  expect_equal "$exit_code" 0 "$name: exit code"
}

# Replays the last recording of NAME and saves the last picture before Escape as $work/shot.png.
replay_last_picture() {
  local name=$1 frames
  rm -rf "$work/replay" && cp -r "$work/before" "$work/replay"
  KVN_REPLAY=$work/$name.kvr "$work/replay/$name" >/dev/null 2>"$work/stderr" ||
    fail "$name: replay: $(cat "$work/stderr")"
  frames=$(sed -n 's/^replay ended at frame \([0-9]*\)$/\1/p' "$work/stderr")
  [ -n "$frames" ] || fail "$name: replay did not end cleanly: $(cat "$work/stderr")"
  rm -rf "$work/replay" && cp -r "$work/before" "$work/replay"
  KVN_REPLAY=$work/$name.kvr KVN_REPLAY_SHOTS=$work/shots:$((frames - 1)) \
    "$work/replay/$name" >/dev/null 2>"$work/stderr" || fail "$name: replay with a shot"
  cp "$work/shots/frame-$((frames - 1)).png" "$work/shot.png" || fail "$name: no shot"
  [ -n "${KVN_EXAMPLE_SHOTS:-}" ] && cp "$work/shot.png" "$KVN_EXAMPLE_SHOTS/$name.png"
  return 0
}

# The colour of a pixel of the shot as "R,G,B".
colour_at() {
  convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)],%[fx:int(255*p{$1,$2}.g+0.5)],%[fx:int(255*p{$1,$2}.b+0.5)]" info:
}

# Fails unless the W x H area at (X, Y) of the shot holds a colour #RRGGBB matching the
# extended pattern.
expect_colour_in() {
  local colours
  colours=$(convert "$work/shot.png" -crop "${3}x${4}+$1+$2" +repage -format %c histogram:info:)
  grep -Eq "$5" <<<"$colours" || fail "$6: no $5 in ${3}x${4} at ($1, $2)"
}

# Presses a mouse button at (X, Y) of the example's window, held for a frame's poll.
click_at() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.2
  xdotool mousedown "${3:-1}"
  sleep 0.2
  xdotool mouseup "${3:-1}"
  sleep 0.2
}
