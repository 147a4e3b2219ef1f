# The real game on the virtual display: full screen, loading bar, stage, ship, HUD and
# frame-rate line, Tab, Z, arrows and Escape; then from loose files with one rank slice missing.
source "$(dirname "$0")/lib/common.bash"

find_picture() { python3 "$(dirname "$0")/lib/find_picture.py" "$@"; }
assets=$build_dir/assets
[ -f "$build_dir/vd.gfx" ] && [ -d "$assets" ] || fail "the game's assets are not built"

# Starts the game from a program directory of its own.
start_game() {
  env -C / "$1/velkadorn" >"$work/stdout" 2>"$work/stderr" &
  program_pid=$!
}

step() { echo "[${SECONDS}s] $*"; }

shot() { import -window root "$work/$1.png"; }

# The screenshot's pixels, as a checksum.
picture_sum() { convert "$work/$1.png" -depth 8 rgb:- | md5sum; }

# A screenshot of a frame presented after the screenshot BEFORE (the stage scrolls in every
# frame): shot NAME BEFORE.
shot_after() {
  local before
  before=$(picture_sum "$2")
  for _ in $(seq 100); do
    shot "$1"
    [ "$(picture_sum "$1")" != "$before" ] && return 0
  done
  fail "no frame presented after $2"
}

# "R G B" of one screenshot pixel.
pixel() { convert "$work/$1.png" -crop "1x1+$2+$3" -depth 8 rgb:- | od -An -tu1 | xargs; }

# Cuts a part of a picture into its own file: picture, W, H, X, Y, output name.
cut() { convert "$1" -crop "${2}x$3+$4+$5" +repage "$work/$6.png"; }

# Glyph of a character from the game's font, as it is drawn 1:1.
glyph() {
  local size width height rows code
  size=$(identify -format "%w %h" "$assets/vdfont.png")
  width=${size% *} height=${size#* }
  rows=$([ "$width" -lt "$height" ] && echo 16 || echo 8)
  code=$(printf %d "'$1")
  cut "$assets/vdfont.png" "$glyph_width" $((height / rows)) $((code % 16 * glyph_width)) \
    $((code / 16 * (height / rows))) "glyph_$code"
  echo "$work/glyph_$code.png"
}

glyph_width=$(($(identify -format %w "$assets/vdfont.png") / 16))

# The character at position i of the frame-rate line "FPS: ..." printed at x 804.
expect_fps_char() {
  local picture x
  picture=$(glyph "$2")
  x=$((804 + $3 * glyph_width))
  find_picture "$work/$1.png" "$picture" "$x" 0 "$x" 0 >/dev/null ||
    fail "frame-rate line: no '$2' at character $3 on $1"
}

# "FPS: " + the whole frame rate (one or two digits) + "/60". How soon the rate leaves 0
# depends on how long the loading took, as the first frame times include it.
expect_fps_line() {
  local i slash=
  for i in 0 1 2 3; do expect_fps_char "$1" "${fps_prefix:$i:1}" "$i"; done
  for i in 6 7; do
    find_picture "$work/$1.png" "$(glyph /)" $((804 + i * glyph_width)) 0 \
      $((804 + i * glyph_width)) 0 >/dev/null 2>&1 && slash=$i
  done
  [ -n "$slash" ] || fail "frame-rate line: no '/' after the rate on $1"
  expect_fps_char "$1" 6 $((slash + 1))
  expect_fps_char "$1" 0 $((slash + 2))
}
fps_prefix="FPS:"

run_dir=$work/program
mkdir -p "$run_dir"
cp "$build_dir/velkadorn" "$build_dir/vd.gfx" "$run_dir/"

start_display 1024x600
start_game "$run_dir"

step "start"
# The loading bar grows at y 400 from the left edge while the stage pictures load.
loading=0
for _ in $(seq 100); do
  shot loading
  if [ "$(pixel loading 2 450)" = "255 255 255" ]; then loading=1; break; fi
  sleep 0.05
done
[ "$loading" = 1 ] || fail "no loading bar seen"
[ "$(pixel loading 2 390)" = "0 0 0" ] || fail "the loading bar starts at y 400"

step "loading bar seen"
# The first frames: one pixel of the HUD panel tells quickly when the loop has begun. The
# screenshots of the play are only taken now and looked at after the game has ended, so the
# ship is not left standing in the stage's way for long.
panel_pixel=$(convert "$assets/overhub.png" -crop 1x1+300+54 -depth 8 rgb:- | od -An -tu1 | xargs)
for _ in $(seq 400); do
  shot first
  [ "$(pixel first 300 590)" = "$panel_pixel" ] && break
done
window=$(xdotool search --name '^Velkadorn$' | head -n1)
[ -n "$window" ] || fail "no window titled Velkadorn"
eval "$(xdotool getwindowgeometry --shell "$window")"
expect_equal "$X,$Y ${WIDTH}x$HEIGHT" "0,0 1024x600" "full-screen window"
sleep 1
shot playing

# Tab calls an enemy in from the right edge.
press Tab
for i in 1 2 3 4 5 6; do
  sleep 1
  shot "enemy$i"
done
# Z fires shots to the right of the ship. Three looks: on a busy machine the first frames with
# shots can come late.
xdotool keydown z
for i in 1 2 3; do
  sleep 0.5
  shot "firing$i"
done
xdotool keyup z
# The arrows move the ship. The ship keeps its speed once the keys are up and bounces off the
# cave walls, tinted, so it is held briefly (the floor is near) and looked at right after the
# release: four looks, at the release and at successive frames presented after it (an enemy
# shot or a wall may tint the ship in some, and a bounce can carry it back left).
xdotool keydown Right keydown Down
sleep 0.6
xdotool keyup Right keyup Down
shot released
previous=released
for i in 1 2 3; do
  shot_after "moved$i" "$previous"
  previous=moved$i
done
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"
step "played"

cut "$assets/overhub.png" 100 24 280 40 panel
find_picture "$work/first.png" "$work/panel.png" 280 576 280 576 >/dev/null ||
  fail "no HUD panel at the bottom"
expect_fps_line first
expect_equal "$(find_picture "$work/playing.png" "$assets/ship_001.png" 56 292 72 308)" "64 300" \
  "ship at its start position"
expect_fps_line playing
find_picture "$work/playing.png" "$assets/rank1c.png" 874 574 874 574 >/dev/null ||
  fail "rank slice 1c not at the strip's 11th place"
# The stage: an asteroid of section 0's solid layer somewhere on its row.
cut "$assets/stage_02solid0.png" 40 40 680 458 solid
find_picture "$work/playing.png" "$work/solid.png" 0 458 1023 458 >/dev/null ||
  fail "no stage section on the screen"
step "start of play checked"

# The enemy, found where it is wholly on the screen, then further left on the same row.
found=
for i in 1 2 3 4 5; do
  for picture in ship_002 ship_003 ship_004; do
    found=$(find_picture "$work/enemy$i.png" "$assets/$picture.png" 400 0 960 472 2>/dev/null) &&
      break
  done
  [ -n "$found" ] && break
done
[ -n "$found" ] || fail "no enemy after Tab"
x=${found% *} y=${found#* }
later=$(find_picture "$work/enemy$((i + 1)).png" "$assets/$picture.png" 0 "$y" "$x" "$y" normal \
  0.8) || fail "the enemy vanished"
[ "${later% *}" -lt "$x" ] || fail "the enemy does not fly left: $found, then $later"
step "enemy at $found, then $later"

fired=
for i in 1 2 3; do
  find_picture "$work/firing$i.png" "$assets/blast_001.png" 128 300 1000 345 additive \
    >/dev/null 2>&1 && fired=1 && break
done
[ -n "$fired" ] || fail "no player shot while Z is held"
# Moving ships stand on fractional pixels, which the linear filter blends: a looser match.
find_picture "$work/moved1.png" "$assets/ship_001.png" 64 300 64 300 normal 0.5 >/dev/null 2>&1 &&
  fail "the ship is still at its start position"
position=
for look in released moved1 moved2 moved3; do
  position=$(find_picture "$work/$look.png" "$assets/ship_001.png" 60 290 700 536 normal 0.5 \
    2>/dev/null) && break
done
[ -n "$position" ] || fail "ship not found after moving"
[ "${position% *}" -gt 64 ] && [ "${position#* }" -gt 300 ] || fail "ship did not move: $position"
step "shots and moves checked"

# Loose files next to the program, "rank1c.png" missing: slot 810 stays empty and the rank
# strip has a 10-pixel gap at its 11th place; the game runs on.
rm -rf "$run_dir"
mkdir -p "$run_dir"
cp "$build_dir/velkadorn" "$run_dir/"
cp "$assets"/* "$run_dir/"
rm "$run_dir/rank1c.png"
step "loose files"
start_game "$run_dir"
for _ in $(seq 400); do
  shot loose
  [ "$(pixel loose 300 590)" = "$panel_pixel" ] && break
done
find_picture "$work/loose.png" "$assets/rank1b.png" 864 574 864 574 >/dev/null ||
  fail "rank slice 1b missing from the strip"
find_picture "$work/loose.png" "$assets/rank1d.png" 884 574 884 574 >/dev/null ||
  fail "rank slice 1d missing from the strip"
find_picture "$work/loose.png" "$assets/rank1c.png" 874 574 874 574 >/dev/null 2>&1 &&
  fail "rank slice 1c drawn though its file is missing"
expect_running 1
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"
passed "velkadorn"
