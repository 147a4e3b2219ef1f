# The input example: a held key lights its scan code's cell, typed letters are shown, the
# cross follows the pointer.
source "$(dirname "$0")/lib/examples.bash"
type_and_hold() {
  xdotool mousemove --window "$window" 400 300
  for key in k v n; do press "$key"; done
  xdotool keydown a
  sleep 0.3
}
record_example input type_and_hold Input
xdotool keyup a
replay_last_picture input
expect_equal "$(colour_at 218 44)" "0,255,0" "the cell of A (scan code 30)"
expect_equal "$(colour_at 20 34)" "56,56,56" "the cell of scan code 0"
expect_equal "$(colour_at 405 300)" "255,255,255" "the cross at the pointer"
expect_colour_in 76 216 24 8 "#FFFFFF" "the typed letters"
passed "input example"
