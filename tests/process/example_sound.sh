# The sound example: the explosion played with the mouse at the left lights the left speaker;
# the music loops at the volume turned down with the Down key.
source "$(dirname "$0")/lib/examples.bash"
play_left() {
  xdotool mousemove --window "$window" 60 300
  sleep 0.3
  press Down
  press 2
}
record_example sound play_left Sound
replay_last_picture sound
[ -s "$run_dir/melody.wav" ] || fail "no melody.wav written"
left=$(colour_at 50 200)
right=$(colour_at 590 200)
[ "${left#*,}" != "${right#*,}" ] || fail "speakers alike: $left, $right"
expect_equal "$(colour_at 142 222)" "255,255,0" "the pan marker at the left"
expect_colour_in 100 430 200 8 "#FFFFFF" "the music line"
passed "sound example"
