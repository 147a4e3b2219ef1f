# The real game on the virtual display: the committed demo recording replayed, its frames
# checked for the loading bar, stage, ship, HUD and frame-rate line, Tab, Z and the arrows; a
# fresh recording of real key presses replayed twice alike, once on a busy machine; then the
# game from loose files with one rank slice missing.
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

# "replay ended at frame N" of a replay's stderr, or nothing.
ended_at() { sed -n 's/^replay ended at frame \([0-9]*\)$/\1/p' "$1" | tail -n1; }

# Replays a recording in the program directory: replay FILE SHOTS_DIR FRAMES NAME [VAR=value...].
# Its exit code goes to $exit_code, its stderr to $work/NAME.stderr.
replay() {
  local file=$1 shots=$2 frames=$3 name=$4
  shift 4
  exit_code=0
  env -C / "$@" KVN_REPLAY="$file" ${frames:+KVN_REPLAY_SHOTS="$shots:$frames"} \
    "$run_dir/velkadorn" >"$work/$name.stdout" 2>"$work/$name.stderr" || exit_code=$?
  if grep -q "^replay diverged\|^replay file" "$work/$name.stderr"; then
    fail "$name: $(grep "^replay " "$work/$name.stderr" | head -n1)"
  fi
  expect_equal "$exit_code" 0 "$name: exit code"
  [ -n "$(ended_at "$work/$name.stderr")" ] || fail "$name: no 'replay ended at frame N'"
}

run_dir=$work/program
mkdir -p "$run_dir"
cp "$build_dir/velkadorn" "$build_dir/vd.gfx" "$run_dir/"
panel_pixel=$(convert "$assets/overhub.png" -crop 1x1+300+54 -depth 8 rgb:- | od -An -tu1 | xargs)

start_display 1024x600

# Part one: the committed demo, replayed without pacing. Its frames are counted from the
# start-up present: the loading bar draws one frame per stage section (frames 2-15), the loop's
# first frame is 16, and the demo's keys come at least half a second (30 frames) later: Tab
# and Z, then Up for 1.5 s, Tab, Down for 2.5 s, Right for 0.3 s, three times; Left, Escape.
# The frames looked at leave some 30 frames of slack to the keys of a re-made demo.
demo=$(cd "$(dirname "$0")/../.." && pwd)/game/demo.kvr
[ -f "$demo" ] || fail "no demo recording at $demo"
step "demo replay"
replay "$demo" "" "" demo_length
last=$(ended_at "$work/demo_length.stderr")
declare -A frame=([loading]=9 [first]=16 [playing]=30 [enemy1]=120 [enemy2]=140 [firing1]=60
  [firing2]=70 [firing3]=80 [moved1]=330 [moved2]=340 [moved3]=350 [last]=$last)
[ "$last" -gt 400 ] || fail "the demo ends at frame $last, before its moves"
frames=$(printf '%s\n' "${frame[@]}" | sort -n | uniq | paste -sd,)
replay "$demo" "$work/demo" "$frames" demo
if grep -q "^replay: the recording's pictures were drawn by" "$work/demo.stderr"; then
  step "the demo was drawn by another renderer; its pictures are checked on this one's shots"
fi
expect_equal "$(ended_at "$work/demo.stderr")" "$last" "the demo's last frame"
for name in "${!frame[@]}"; do
  [ -f "$work/demo/frame-${frame[$name]}.png" ] || fail "no shot of frame ${frame[$name]}"
  cp "$work/demo/frame-${frame[$name]}.png" "$work/$name.png"
done
step "demo replayed: $last frames"

# The loading bar grows at y 400 from the left edge while the stage pictures load.
[ "$(pixel loading 2 450)" = "255 255 255" ] || fail "no loading bar at frame ${frame[loading]}"
[ "$(pixel loading 2 390)" = "0 0 0" ] || fail "the loading bar starts at y 400"

cut "$assets/overhub.png" 100 24 280 40 panel
for look in first last; do
  find_picture "$work/$look.png" "$work/panel.png" 280 576 280 576 >/dev/null ||
    fail "no HUD panel at the bottom of frame ${frame[$look]}"
  expect_fps_line "$look"
done
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

# The enemy, wholly on the screen, then further left on the same row.
found=
for picture in ship_002 ship_003 ship_004; do
  found=$(find_picture "$work/enemy1.png" "$assets/$picture.png" 400 0 960 472 2>/dev/null) &&
    break
done
[ -n "$found" ] || fail "no enemy after Tab"
x=${found% *} y=${found#* }
later=$(find_picture "$work/enemy2.png" "$assets/$picture.png" 0 "$y" "$x" "$y" normal 0.8) ||
  fail "the enemy vanished"
[ "${later% *}" -lt "$x" ] || fail "the enemy does not fly left: $found, then $later"
step "enemy at $found, then $later"

fired=
for i in 1 2 3; do
  find_picture "$work/firing$i.png" "$assets/blast_001.png" 128 300 1000 345 additive \
    >/dev/null 2>&1 && fired=1 && break
done
[ -n "$fired" ] || fail "no player shot while Z is held"
# Moving ships stand on fractional pixels, which the linear filter blends: a looser match.
# A wall or an enemy shot may tint the ship in one look.
position=
for look in moved1 moved2 moved3; do
  position=$(find_picture "$work/$look.png" "$assets/ship_001.png" 60 290 700 536 normal 0.5 \
    2>/dev/null) && break
done
[ -n "$position" ] || fail "ship not found after moving"
[ "${position% *}" -gt 64 ] && [ "${position#* }" -gt 300 ] || fail "ship did not move: $position"
step "shots and moves checked"

# Part two: a fresh recording of real key presses, replayed twice, once beside a busy loop:
# both replays end alike and save the same pictures.
step "recording"
env -C / KVN_RECORD="$work/fresh.kvr" "$run_dir/velkadorn" >"$work/stdout" 2>"$work/stderr" &
program_pid=$!
for _ in $(seq 400); do
  kill -0 "$program_pid" 2>/dev/null || break
  shot look
  [ "$(pixel look 300 590)" = "$panel_pixel" ] && break
done
window=$(xdotool search --name '^Velkadorn$' | head -n1)
[ -n "$window" ] || fail "no window titled Velkadorn"
eval "$(xdotool getwindowgeometry --shell "$window")"
expect_equal "$X,$Y ${WIDTH}x$HEIGHT" "0,0 1024x600" "full-screen window"
press Tab
xdotool keydown z
sleep 1
xdotool keydown Right keydown Down
sleep 0.5
xdotool keyup Right keyup Down
sleep 1.5
xdotool keyup z
press Tab
sleep 1.5
press Escape
wait_exit
expect_equal "$exit_code" 0 "recording: exit code"
fresh_frames=16,40,80
replay "$work/fresh.kvr" "$work/quiet" "$fresh_frames" quiet
[ "$(ended_at "$work/quiet.stderr")" -ge 80 ] ||
  fail "the recording ends at frame $(ended_at "$work/quiet.stderr"), before its shots"
( while :; do :; done ) &
burner=$!
trap 'kill "$burner" 2>/dev/null; cleanup' EXIT
replay "$work/fresh.kvr" "$work/busy" "$fresh_frames" busy
kill "$burner"
wait "$burner" 2>/dev/null || true
trap cleanup EXIT
expect_equal "$(ended_at "$work/busy.stderr")" "$(ended_at "$work/quiet.stderr")" \
  "the replays' last frame"
for i in ${fresh_frames//,/ }; do
  cmp -s "$work/quiet/frame-$i.png" "$work/busy/frame-$i.png" ||
    fail "frame $i differs between the quiet and the busy replay"
done
step "replayed twice alike: $(ended_at "$work/quiet.stderr") frames"

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
