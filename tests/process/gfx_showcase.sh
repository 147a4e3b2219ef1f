# The showcase program on a real window: the presented picture shows its sprites where it drew
# them, and the program ends orderly on Escape.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

env "KVN_TEST_OUT=$KVN_TEST_OUT" "$programs_dir/gfx_showcase" >"$work/stdout" 2>"$work/stderr" &
program_pid=$!
expect_running 3
import -window root "$work/shot.png"
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"

# The colour of a screen pixel as "R,G,B".
colour_at() {
  convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
# The quadrant sprite at (20, 160): red and green above, blue and yellow below; mirrored at
# (70, 160); turned counter-clockwise at (120, 160).
expect_equal "$(colour_at 25 165)" "255,0,0" "quadrants, top left"
expect_equal "$(colour_at 45 165)" "0,255,0" "quadrants, top right"
expect_equal "$(colour_at 25 185)" "0,0,255" "quadrants, bottom left"
expect_equal "$(colour_at 45 185)" "255,255,0" "quadrants, bottom right"
expect_equal "$(colour_at 75 165)" "0,255,0" "mirrored, top left"
expect_equal "$(colour_at 125 185)" "255,0,0" "turned, bottom left"
# "draw_sprite" at (20, 20) in the built-in font: glyphs with their dark grey outline.
histogram=$(convert "$work/shot.png" -crop 40x9+20+20 +repage -format %c histogram:info:)
grep -q "#FFFFFF" <<<"$histogram" || fail "no glyph pixels at the top left"
grep -q "#080808" <<<"$histogram" || fail "no glyph outline at the top left"
echo "gfx showcase: ok"
