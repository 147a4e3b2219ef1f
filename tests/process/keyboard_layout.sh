# The scan-code keyboard answers by the key's place, the fall-back keyboard (KVN_INPUT_FALLBACK=1)
# by the keyboard layout: Z is the key that types z. A key tapped for 1 ms reads as down in
# one frame on both paths (two at most when the machine stretches it).
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

# Waits until the program has shown N more frames.
wait_frames() {
  local target=$(($(report frames) + $1))
  for _ in $(seq 200); do
    [ "$(report frames)" -ge "$target" ] && return 0
    sleep 0.05
  done
  fail "fewer than $1 frames shown"
}

# The number of frames in which scan code $1 was down.
frames_down() {
  grep -c ":\(.* \)\?$1\( \|$\)" "$KVN_TEST_OUT/keys" || true
}

# A case is "layout path scan-code-of-z scan-code-of-y".
for case in "us device 44 21" "us fallback 21 44" "de device 21 44" "de fallback 21 44"; do
  read -r layout path z_code y_code <<<"$case"
  setxkbmap -layout "$layout"
  fallback=0
  [ "$path" = fallback ] && fallback=1
  start_probe KVN_TEST_KEYS=1 KVN_INPUT_FALLBACK=$fallback
  wait_for_report ready
  press z
  wait_frames 5
  [ "$(frames_down "$z_code")" -gt 0 ] || fail "$layout $path: z is not scan code $z_code"
  expect_equal "$(frames_down "$y_code")" 0 "$layout $path: frames with scan code $y_code down"
  press y
  wait_frames 5
  [ "$(frames_down "$y_code")" -gt 0 ] || fail "$layout $path: y is not scan code $y_code"
  xdotool keydown x sleep 0.001 keyup x
  wait_frames 10
  # On a busy machine xdotool may hold the key longer than asked, across a poll or two.
  taps=$(frames_down 45)
  [ "$taps" -ge 1 ] && [ "$taps" -le 2 ] || fail "$layout $path: a 1 ms tap of x read as down in $taps frames"
  press Escape
  wait_exit
  expect_equal "$exit_code" 0 "$layout $path: exit code"
done
passed "keyboard by place and by layout, and short taps"
