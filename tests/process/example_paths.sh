# The paths example: start and goal clicked on either side of the walls; the route is drawn
# between them, over the top of the second wall.
source "$(dirname "$0")/lib/examples.bash"
click_cells() {
  click_at $((17 * 32 + 16)) $((12 * 32 + 16))
  click_at $((2 * 32 + 16)) $((12 * 32 + 16))
}
record_example paths click_cells Paths
replay_last_picture paths
expect_equal "$(colour_at $((17 * 32 + 8)) $((12 * 32 + 8)))" "0,192,0" "the start"
expect_equal "$(colour_at $((2 * 32 + 8)) $((12 * 32 + 8)))" "255,0,0" "the goal"
expect_colour_in $((13 * 32)) 0 32 128 "#FFFF00" "the route past the second wall"
expect_colour_in $((6 * 32)) $((10 * 32)) 32 128 "#FFFF00" "the route below the first wall"
passed "paths example"
