# Record and replay: a recorded run with real key presses, a wait for a key and a sound played
# twice replays to the same trace (clock, sound status, keys, typed characters, mouse, random
# numbers) on both keyboard paths, fast, in real time, beside a busy processor and without
# picture checks; the real keyboard does not reach a replay. A replay that asks for more than
# was recorded diverges, and damaged or unreadable files end with their message; both exit 2.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

program=$programs_dir/replay_program
frames=121 # the start-up present and the program's 120 frames
burners=()
stop_burners() {
  for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${burners[@]}"; do wait "$pid" 2>/dev/null || true; done
  burners=()
}
trap 'stop_burners; cleanup' EXIT

start_program() {
  rm -f "$KVN_TEST_OUT"/*
  env "$@" "$program" >"$work/stdout" 2>"$work/stderr" &
  program_pid=$!
}

# Exit code 2 from a clean end, and no sign of a crash on stderr.
expect_clean_exit() {
  expect_equal "$exit_code" "$1" "$2: exit code"
  if grep -q "Sanitizer\|runtime error:" "$work/stderr"; then fail "$2: $(cat "$work/stderr")"; fi
}

# Records a run as $work/NAME.rec and its trace as $work/NAME.trace: A is pressed while it
# runs, S ends its wait for a key.
record() {
  local name=$1
  shift
  start_program KVN_RECORD="$work/$name.rec" "$@"
  wait_for_report ready
  press a
  wait_for_report waiting
  press s
  wait_exit
  expect_clean_exit 0 "recording $name"
  cp "$KVN_TEST_OUT/trace" "$work/$name.trace"
  local trace=$work/$name.trace
  # The run saw what the test did: the typed A, both keys held, the wait, both plays heard.
  grep -q " typed 97 " "$trace" || fail "recording $name: the typed A is not in the trace"
  grep -q " keys 16 " "$trace" || fail "recording $name: A is never down"
  grep -q " keys 8 " "$trace" || fail "recording $name: S is never down"
  grep -q "^waited from " "$trace" || fail "recording $name: no wait"
  [ "$(grep -c "^frame " "$trace")" = 120 ] || fail "recording $name: not 120 frames traced"
  local playing
  playing=$(grep "^frame " "$trace" | awk '{print $8}' | uniq | tr -d '\n')
  expect_equal "$playing" 1010 "recording $name: sound status (per frame, runs)"
}

# Replays $work/NAME.rec (extra words: environment) and compares its trace with the recording's.
replay_same() {
  local name=$1 label=$2
  shift 2
  start_program KVN_REPLAY="$work/$name.rec" "$@"
  # Keys pressed during the replay change nothing.
  wait_for_report ready
  press a
  press q
  wait_exit 300
  expect_clean_exit 0 "$label"
  grep -qx "replay ended at frame $frames" "$work/stderr" ||
    fail "$label: no 'replay ended at frame $frames' in: $(cat "$work/stderr")"
  cmp -s "$KVN_TEST_OUT/trace" "$work/$name.trace" ||
    fail "$label: the trace differs: $(diff "$work/$name.trace" "$KVN_TEST_OUT/trace" | head -n 6)"
}

shot_frames=2,41,100
for path in normal fallback; do
  env_words=()
  [ "$path" = fallback ] && env_words=(KVN_INPUT_FALLBACK=1)
  record "$path" "${env_words[@]}"
  replay_same "$path" "$path replay with shots" "${env_words[@]}" \
    KVN_REPLAY_SHOTS="$work/shots-$path-1:$shot_frames"
  replay_same "$path" "$path replay" "${env_words[@]}"
  sh -c 'while :; do :; done' &
  burners+=($!)
  replay_same "$path" "$path replay beside a busy processor" "${env_words[@]}" \
    KVN_REPLAY_SHOTS="$work/shots-$path-2:$shot_frames"
  stop_burners
  replay_same "$path" "$path replay in real time" "${env_words[@]}" KVN_REPLAY_SPEED=1
  for frame in ${shot_frames//,/ }; do
    shot=shots-$path-1/frame-$frame.png
    [ -s "$work/$shot" ] || fail "$path: no replay shot $shot"
    cmp -s "$work/$shot" "$work/shots-$path-2/frame-$frame.png" ||
      fail "$path: the two replays' shots of frame $frame differ"
  done
  cmp -s "$work/shots-$path-1/frame-2.png" "$work/shots-$path-1/frame-41.png" &&
    fail "$path: the shots of frames 2 and 41 are the same picture"
done

# A recording without picture checksums replays all the same.
record unchecked KVN_RECORD_CHECK=0
replay_same unchecked "replay of a recording without checksums"

# One keyboard read more than recorded, in the 90th frame of the program (frame 91).
start_program KVN_REPLAY="$work/normal.rec" KVN_TEST_EXTRA_READ=1
wait_exit 300
expect_clean_exit 2 "divergence"
grep -q "^replay diverged at frame 91: the program asked for " "$work/stderr" ||
  fail "divergence: $(cat "$work/stderr")"

# Damaged and unreadable files: a case is "name|expected stderr line (extended regex)".
size=$(stat -c %s "$work/normal.rec")
half=$((size / 2))
{ printf 'X'; tail -c +2 "$work/normal.rec"; } >"$work/foreign.rec"
LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; ++i) printf "%c", int(rand() * 256) }' \
  >"$work/garbage.rec"
{ head -c 100 "$work/normal.rec"; cat "$work/garbage.rec"; } >"$work/garbage_after_header.rec"
: >"$work/empty.rec"
mkdir "$work/folder.rec"
for case in "foreign|replay file is damaged at byte 0" \
            "garbage|replay file is damaged at byte 0" \
            "garbage_after_header|replay file is damaged at byte [0-9]+" \
            "empty|replay file is damaged at byte 0" \
            "missing|replay file $work/missing.rec cannot be read" \
            "folder|replay file $work/folder.rec cannot be read"; do
  name=${case%%|*}
  expected=${case#*|}
  start_program KVN_REPLAY="$work/$name.rec"
  wait_exit
  expect_clean_exit 2 "$name file"
  grep -Eqx "$expected" "$work/stderr" || fail "$name file: $(cat "$work/stderr")"
done
# Cuts at six neighbouring bytes: a cut between two records leaves a whole, shorter recording
# (it replays to its end, exit 0); a cut inside a record is damage found at or before the cut.
damaged=0
for cut in $(seq "$half" $((half + 5))); do
  head -c "$cut" "$work/normal.rec" >"$work/cut.rec"
  start_program KVN_REPLAY="$work/cut.rec"
  wait_exit
  at=$(sed -n 's/^replay file is damaged at byte \([0-9]*\)$/\1/p' "$work/stderr")
  if [ -n "$at" ]; then
    expect_clean_exit 2 "file cut at $cut"
    [ "$at" -le "$cut" ] && [ "$at" -gt $((cut - 4096)) ] ||
      fail "file cut at $cut: damage reported at byte $at"
    damaged=$((damaged + 1))
  else
    expect_clean_exit 0 "file cut at $cut"
    ended=$(sed -n 's/^replay ended at frame \([0-9]*\)$/\1/p' "$work/stderr")
    [ -n "$ended" ] && [ "$ended" -lt "$frames" ] ||
      fail "file cut at $cut: $(cat "$work/stderr")"
    head -n "$(wc -l <"$KVN_TEST_OUT/trace")" "$work/normal.trace" | cmp -s - "$KVN_TEST_OUT/trace" ||
      fail "file cut at $cut: the trace is not the recording's beginning"
  fi
done
[ "$damaged" -gt 0 ] || fail "no cut of six was found inside a record"

passed "record and replay"
